// How the row looks: the settings the home screen's layout gives the
// plug-in, kept across restarts in the saved record.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/base/Types.h"

namespace plugin {

// Longest text field, in characters (254 bytes in the record).
constexpr std::size_t kMaxFieldText = 127;

inline constexpr const WCHAR* kDefaultFontWeight = u"NORMAL";
inline constexpr const WCHAR* kDefaultBackground = u"TRANSPARENT";
inline constexpr const WCHAR* kDefaultText = u"COLOR_HOMETEXT";
inline constexpr const WCHAR* kDefaultSelectedBackground = u"COLOR_HOMEHIGHLIGHT";
inline constexpr const WCHAR* kDefaultSelectedText = u"COLOR_HOMEHIGHLIGHTTEXT";
inline constexpr const WCHAR* kDefaultBorder = u"COLOR_HOMERULE";

struct PluginSettings {
    std::uint32_t pluginHandle = 0;
    std::int32_t height = 20;
    bool autoHeight = false;
    std::int32_t borderMode = 0;
    WideString fontFace;
    std::int32_t fontSize = 14;
    WideString fontWeight = kDefaultFontWeight;
    std::int32_t paddingLeft = 0;
    std::int32_t paddingTop = 0;
    WideString background = kDefaultBackground;
    WideString textColour = kDefaultText;
    WideString selectedBackground = kDefaultSelectedBackground;
    WideString selectedText = kDefaultSelectedText;
    WideString borderColour = kDefaultBorder;
    std::int32_t borderWidth = 0;
};

// The saved record: 32-bit little-endian numbers, one byte for auto height,
// texts as a byte length and UTF-16 characters.
std::vector<BYTE> EncodeRecord(const PluginSettings& settings);

struct DecodedRecord {
    PluginSettings settings;
    // False when the record ended before its last field; the fields not
    // reached keep their defaults.
    bool complete = false;
};

// A text of length 0 or less (or 1: no whole character) reads as its default; a longer text than a
// field holds keeps its first characters, and the reader moves past all of
// it. Nothing outside `bytes` is read.
DecodedRecord DecodeRecord(std::span<const BYTE> bytes);

}  // namespace plugin
