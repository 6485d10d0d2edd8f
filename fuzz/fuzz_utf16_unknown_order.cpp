// Arbitrary bytes through the text conversions of packet strings. The first
// byte picks the code page.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <span>

#include "oscar/codec/TextCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static constexpr unsigned kCodePages[] = {0, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 874, 65001, 437};
    if (size == 0)
        return 0;
    unsigned codePage = kCodePages[data[0] % (sizeof kCodePages / sizeof kCodePages[0])];
    std::span<const std::uint8_t> bytes(data + 1, size - 1);
    WideString text = oscar::Utf16UnknownOrderToWide(bytes, codePage);
    // Bytes that can only be UTF-8 (valid, a byte above 0x7F, no zero byte)
    // are read as UTF-8 whatever the code page.
    bool high = std::any_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b >= 0x80; });
    bool zero = std::find(bytes.begin(), bytes.end(), 0) != bytes.end();
    WideString utf8 = oscar::Utf8ToWide(bytes);
    RefPtr<oscar::ByteBuffer> again = oscar::WideToBytes(utf8, 65001);
    bool valid = std::equal(bytes.begin(), bytes.end(), again->Bytes().begin(), again->Bytes().end());
    if (high && !zero && valid && text != utf8)
        std::abort();
    oscar::WideToBytes(text, codePage);
    oscar::BytesToWideWithFallback(bytes, codePage);
    oscar::Utf16BEToWide(bytes);
    std::uint32_t uin = 0;
    oscar::ParseUin(bytes, uin);
    oscar::WideToUtf16BE(text);
    return 0;
}
