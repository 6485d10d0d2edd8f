// Fonts for the drawing engine: faces found through fontconfig, rendered
// with FreeType into 8-bit coverage masks, cached per font and character.
//
// A font is shared by every HFONT made with the same resolved file, pixel
// size and boldness. All calls lock the engine; a Glyph pointer stays valid
// while the caller holds FontEngine::Lock.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/base/Types.h"

namespace platform::gdi {

struct Glyph {
    int advance = 0;  // pixels to the next pen position
    int left = 0;     // from the pen position to the mask's left edge
    int top = 0;      // from the baseline up to the mask's top edge
    int width = 0;
    int height = 0;
    std::vector<BYTE> coverage;  // width * height
};

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int height = 0;  // ascent + descent
    int internalLeading = 0;
    int averageWidth = 0;
    int maxWidth = 0;
    int weight = 400;
};

class Font {
public:
    virtual ~Font() = default;
    const FontMetrics& Metrics() const { return m_metrics; }
    const std::string& File() const { return m_file; }
    // The glyph of a character; a character the face lacks gets a box.
    // Call with the engine locked.
    virtual const Glyph& GlyphFor(char32_t character) = 0;

protected:
    FontMetrics m_metrics;
    std::string m_file;
};

class FontEngine {
public:
    static FontEngine& Instance();

    // Face name as in LOGFONTW (empty = default), height as lfHeight,
    // weight as lfWeight. Never null: without any usable font file the font
    // draws boxes.
    std::shared_ptr<Font> Get(const WideString& face, LONG height, LONG weight);

    std::unique_lock<std::mutex> Lock() { return std::unique_lock(m_lock); }

private:
    FontEngine() = default;
    std::string ResolveFile(const std::string& family, bool bold);

    std::mutex m_lock;
    std::unordered_map<std::string, std::weak_ptr<Font>> m_fonts;  // key: file, size, bold
    std::unordered_map<std::string, std::string> m_files;          // key: family, bold
    std::vector<std::shared_ptr<Font>> m_recent;                   // keeps recently made fonts alive between HFONTs
};

// Decodes UTF-16 (an unpaired surrogate becomes U+FFFD) and calls
// f(codepoint, first unit index, unit count).
template <typename F>
void ForEachCodepoint(std::u16string_view text, F&& f)
{
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = text[i];
        std::size_t units = 1;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            units = 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        f(c, i, units);
        i += units;
    }
}

}  // namespace platform::gdi
