#include "oscar/codec/TextCodec.h"

#include <string>

#include "platform/text/CodePage.h"

namespace oscar {
namespace {

std::string_view AsChars(std::span<const std::uint8_t> bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

RefPtr<ByteBuffer> BufferOf(const std::string& bytes)
{
    RefPtr<ByteBuffer> buffer = ByteBuffer::CopyOf(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    return buffer ? buffer : MakeRef<ByteBuffer>();
}

enum class ByteOrder { BigEndian, LittleEndian };

WideString ReadUtf16(std::span<const std::uint8_t> bytes, ByteOrder order)
{
    WideString text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint8_t high = order == ByteOrder::BigEndian ? bytes[i] : bytes[i + 1];
        std::uint8_t low = order == ByteOrder::BigEndian ? bytes[i + 1] : bytes[i];
        auto unit = static_cast<char16_t>((high << 8) | low);
        if (unit == 0)
            break;
        text += unit;
    }
    return text;
}

// True when the code page maps every character of the text without
// replacing one. Empty text does not pass (nothing was converted).
bool ConvertsCleanly(const WideString& text, UINT codePage)
{
    if (text.empty() || !platform::IsSupportedCodePage(codePage))
        return false;
    bool replaced = true;
    platform::WideToBytes(text, codePage, &replaced);
    return !replaced;
}

// UTF-8 that only UTF-8 can be: well formed (decoding and encoding again
// gives the same bytes), with at least one byte above 0x7F and no zero byte.
// UTF-16 of Latin and Cyrillic text never passes: it either holds zero bytes
// or only bytes below 0x80.
bool IsMultiByteUtf8(std::span<const std::uint8_t> bytes, WideString& text)
{
    bool high = false;
    for (std::uint8_t byte : bytes) {
        if (byte == 0)
            return false;
        high |= byte >= 0x80;
    }
    if (!high)
        return false;
    text = platform::BytesToWide(AsChars(bytes), CP_UTF8);
    return platform::WideToBytes(text, CP_UTF8) == AsChars(bytes);
}

}  // namespace

RefPtr<ByteBuffer> WideToBytes(std::u16string_view text, UINT codePage, bool* replaced)
{
    return BufferOf(platform::WideToBytes(text, codePage, replaced));
}

RefPtr<ByteBuffer> WideToUtf16BE(std::u16string_view text)
{
    RefPtr<ByteBuffer> buffer = MakeRef<ByteBuffer>();
    if (text.size() > static_cast<std::size_t>(INT32_MAX / 2))
        return buffer;
    buffer = ByteBuffer::WithCapacity(static_cast<std::int32_t>(text.size() * 2));
    for (char16_t unit : text)
        buffer->AppendU16(unit);
    return buffer;
}

WideString Utf16BEToWide(std::span<const std::uint8_t> bytes)
{
    return ReadUtf16(bytes, ByteOrder::BigEndian);
}

WideString Utf8ToWide(std::span<const std::uint8_t> bytes)
{
    return platform::BytesToWide(AsChars(bytes), CP_UTF8);
}

WideString BytesToWideWithFallback(std::span<const std::uint8_t> bytes, UINT codePage)
{
    // Comparing the bytes, not only their count: a malformed sequence whose
    // replacement happens to be as long as the sequence must not pass.
    WideString text = Utf8ToWide(bytes);
    if (platform::WideToBytes(text, CP_UTF8) == AsChars(bytes))
        return text;
    return platform::BytesToWide(AsChars(bytes), codePage);
}

WideString Utf16UnknownOrderToWide(std::span<const std::uint8_t> bytes, UINT codePage)
{
    // UTF-8 goes first: read as UTF-16, an even count of UTF-8 bytes gives
    // Hangul and CJK characters, which a UTF-8 code page would take.
    if (WideString utf8; IsMultiByteUtf8(bytes, utf8))
        return utf8;
    if (bytes.size() % 2 == 0) {
        for (ByteOrder order : {ByteOrder::BigEndian, ByteOrder::LittleEndian}) {
            WideString text = ReadUtf16(bytes, order);
            if (ConvertsCleanly(text, codePage))
                return text;
        }
    }
    return platform::BytesToWide(AsChars(bytes), codePage);
}

RefPtr<ByteBuffer> UinToBytes(std::uint32_t uin)
{
    return BufferOf(std::to_string(uin));
}

bool ParseUin(std::span<const std::uint8_t> bytes, std::uint32_t& uin)
{
    if (bytes.empty() || bytes.size() > 10)
        return false;
    std::uint64_t value = 0;
    for (std::uint8_t byte : bytes) {
        if (byte < '0' || byte > '9')
            return false;
        value = value * 10 + (byte - '0');
    }
    if (value > UINT32_MAX)
        return false;
    uin = static_cast<std::uint32_t>(value);
    return true;
}

}  // namespace oscar
