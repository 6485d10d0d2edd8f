// A bitmap description and pixels from the fuzzer, transferred to a memory
// context with SetDIBitsToDevice and StretchDIBits: refused or drawn, never a
// read or write outside the buffers.
//
// Input: 52 bytes of header and masks, 8 bytes of placement (destination x,
// y, width, height, source x, y, start scan, scan lines; one signed byte
// each), then the pixels. biSizeImage is set to the number of pixel bytes
// (the buffer given); a description that needs more is refused.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi/Dib.h"
#include "platform/gdi/Gdi.h"

namespace {

constexpr std::size_t kHeader = sizeof(BITMAPINFOHEADER) + 12;
constexpr std::size_t kPlacement = 8;

struct Target {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 64, 64);
    Target() { SelectObject(dc, bitmap); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Target target;
    if (size < kHeader + kPlacement + 1)
        return 0;
    std::vector<BYTE> info(data, data + kHeader);
    const auto* p = reinterpret_cast<const std::int8_t*>(data + kHeader);
    std::vector<BYTE> pixels(data + kHeader + kPlacement, data + size);
    auto declared = static_cast<DWORD>(pixels.size());
    std::memcpy(info.data() + offsetof(BITMAPINFOHEADER, biSizeImage), &declared, 4);
    const auto* bmi = reinterpret_cast<const BITMAPINFO*>(info.data());

    SetDIBitsToDevice(target.dc, p[0], p[1], static_cast<BYTE>(p[2]), static_cast<BYTE>(p[3]), p[4], p[5],
                      static_cast<BYTE>(p[6]), static_cast<BYTE>(p[7]), pixels.data(), bmi, DIB_RGB_COLORS);
    StretchDIBits(target.dc, p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], pixels.data(), bmi, DIB_RGB_COLORS,
                  SRCCOPY);

    // The reader on its own, with the pixels as the exact buffer.
    if (auto format = platform::gdi::ParseDibHeader(std::span(info.data(), info.size()))) {
        auto surface = platform::gdi::Surface::Create(32, 32);
        platform::gdi::DibTransfer dib{*format, std::span<const BYTE>(pixels), static_cast<BYTE>(p[6]),
                                       static_cast<BYTE>(p[7])};
        platform::gdi::DrawDib(*surface, RECT{p[0], p[1], p[0] + 40, p[1] + 40}, dib,
                               RECT{p[4], p[5], p[4] + 33, p[5] + 17}, surface->Bounds());
    }
    return 0;
}
