// Text inside packets: conversions between the program's wide strings and
// the byte forms the protocol carries (code-page text, UTF-8, UTF-16
// big-endian, UTF-16 of unknown byte order, UINs as decimal text).
//
// Code page 0 is the device's default code page; an unknown code page gives
// empty text.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "app/RefCounted.h"
#include "oscar/codec/ByteBuffer.h"
#include "platform/base/Types.h"

namespace oscar {

// The text in the code page, no terminator. Characters without a mapping
// become '?'; *replaced (when given) tells whether that happened.
RefPtr<ByteBuffer> WideToBytes(std::u16string_view text, UINT codePage, bool* replaced = nullptr);

// Two bytes per UTF-16 unit, high byte first, no terminator.
RefPtr<ByteBuffer> WideToUtf16BE(std::u16string_view text);

// Byte pairs, high byte first, up to the first zero character; an odd last
// byte is ignored.
WideString Utf16BEToWide(std::span<const std::uint8_t> bytes);

// UTF-8 text; malformed sequences become U+FFFD.
WideString Utf8ToWide(std::span<const std::uint8_t> bytes);

// The bytes as UTF-8 when they are valid UTF-8 (converting the result back
// gives exactly the input), otherwise as text in the code page.
WideString BytesToWideWithFallback(std::span<const std::uint8_t> bytes, UINT codePage);

// Text of unknown form, as offline messages carry it. Valid UTF-8 with a
// byte above 0x7F and no zero byte is UTF-8. Otherwise it is UTF-16 whose
// byte order is not known: an even byte count is read as
// big-endian and then as little-endian (each up to the first zero
// character); the first reading whose every character the code page maps
// without replacement is taken. Otherwise, and for an odd count, the bytes
// are text in the code page.
WideString Utf16UnknownOrderToWide(std::span<const std::uint8_t> bytes, UINT codePage);

// A UIN as its decimal digits.
RefPtr<ByteBuffer> UinToBytes(std::uint32_t uin);

// Reads a UIN from decimal digits: 1 to 10 digits, no sign, no spaces, at
// most 4294967295. False (and uin unchanged) otherwise.
bool ParseUin(std::span<const std::uint8_t> bytes, std::uint32_t& uin);

}  // namespace oscar
