// Text as UTF-16 little-endian bytes, the form of the contact-list cache and
// of the history text and parties files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/base/Types.h"

namespace store {

// The byte-order mark that starts such a file.
inline constexpr std::string_view kByteOrderMark{"\xFF\xFE", 2};

// Appends the text as UTF-16 little-endian bytes.
void AppendUtf16Le(std::string& bytes, std::u16string_view text);

// Reads byteCount / 2 UTF-16 little-endian characters; the text ends early at
// a character 0. An odd last byte is ignored.
WideString DecodeUtf16Le(const std::uint8_t* bytes, std::size_t byteCount);

}  // namespace store
