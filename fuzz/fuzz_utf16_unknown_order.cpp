// Arbitrary bytes through the text conversions of packet strings. The first
// byte picks the code page.
#include <cstddef>
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
    oscar::WideToBytes(text, codePage);
    oscar::BytesToWideWithFallback(bytes, codePage);
    oscar::Utf16BEToWide(bytes);
    std::uint32_t uin = 0;
    oscar::ParseUin(bytes, uin);
    oscar::WideToUtf16BE(text);
    return 0;
}
