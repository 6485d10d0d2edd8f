// The form a message text goes out in on channel 1: the character set of its
// text fragment and its bytes. Text is never degraded on the way: what the
// configured code page cannot carry goes as UTF-16.
#pragma once

#include <cstdint>
#include <optional>

#include "oscar/codec/ByteBuffer.h"
#include "platform/base/Types.h"

namespace oscar {

// Character sets of the text fragment.
constexpr std::uint16_t kCharsetAscii = 0x0000;  // ASCII, or the sender's code page
constexpr std::uint16_t kCharsetUnicode = 0x0002;  // UTF-16 big-endian
constexpr std::uint16_t kCharsetLatin1 = 0x0003;  // ISO-8859-1

// The largest message text the server takes, in bytes.
constexpr std::size_t kMaxMessageTextBytes = 8000;

// The form the sender asks for: the code page's 8-bit bytes where they carry
// the text, or UTF-16 for a recipient that reads it.
enum class TextEncoding { EightBit, Unicode };

struct OutgoingText {
    std::uint16_t charset = kCharsetAscii;
    RefPtr<ByteBuffer> bytes;
    bool Unicode() const { return charset == kCharsetUnicode; }
};

// Unicode form when asked for (the recipient reads it) or when the code
// page would replace a character (or is unknown); otherwise the code page's bytes, labelled
// ASCII (0x0000) for plain ASCII, ISO-8859-1 (0x0003) for code page 1252
// text within Latin-1, and 0x0000 for other code pages. Text of code page
// 1252 that needs its bytes 0x80-0x9F (the euro sign, typographic quotes)
// is not Latin-1 and goes in Unicode form. Nullopt when the bytes would not
// fit in kMaxMessageTextBytes.
std::optional<OutgoingText> EncodeOutgoingText(const WideString& text, TextEncoding preferred, UINT codePage);

}  // namespace oscar
