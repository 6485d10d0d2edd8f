#include "oscar/messaging/OutgoingText.h"

#include <algorithm>

#include "oscar/codec/TextCodec.h"
#include "platform/text/CodePage.h"

namespace oscar {
namespace {

constexpr UINT kWesternCodePage = 1252;

bool AllBelow(const WideString& text, char16_t limit)
{
    return std::all_of(text.begin(), text.end(), [limit](char16_t c) { return c < limit; });
}

// Every code page carries ASCII as itself.
RefPtr<ByteBuffer> AsciiBytes(const WideString& text)
{
    auto bytes = MakeRef<ByteBuffer>();
    for (char16_t c : text)
        bytes->AppendU8(static_cast<std::uint8_t>(c));
    return bytes;
}

std::optional<OutgoingText> Checked(OutgoingText text)
{
    if (!text.bytes || static_cast<std::size_t>(text.bytes->Size()) > kMaxMessageTextBytes)
        return std::nullopt;
    return text;
}

}  // namespace

std::optional<OutgoingText> EncodeOutgoingText(const WideString& text, TextEncoding preferred, UINT codePage)
{
    if (preferred == TextEncoding::Unicode)
        return Checked({kCharsetUnicode, WideToUtf16BE(text)});
    if (AllBelow(text, 0x80))
        return Checked({kCharsetAscii, AsciiBytes(text)});
    bool replaced = true;
    RefPtr<ByteBuffer> bytes = WideToBytes(text, codePage, &replaced);
    if (replaced)
        return Checked({kCharsetUnicode, WideToUtf16BE(text)});
    UINT effective = codePage == CP_ACP ? platform::DefaultCodePage() : codePage;
    if (effective != kWesternCodePage)
        return Checked({kCharsetAscii, bytes});
    // Code page 1252 and ISO-8859-1 agree on every character below U+0100
    // except U+0080-U+009F, which code page 1252 does not map.
    if (AllBelow(text, 0x100))
        return Checked({kCharsetLatin1, bytes});
    return Checked({kCharsetUnicode, WideToUtf16BE(text)});
}

}  // namespace oscar
