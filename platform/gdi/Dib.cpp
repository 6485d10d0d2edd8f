#include "platform/gdi/Dib.h"

#include <bit>
#include <cstring>
#include <limits>

#include "platform/gdi/Gdi.h"

namespace platform::gdi {
namespace {

std::uint32_t Read32(const BYTE* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Scales a masked channel to 8 bits.
BYTE Channel(std::uint32_t value, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = std::countr_zero(mask);
    std::uint32_t top = mask >> shift;
    std::uint32_t v = (value & mask) >> shift;
    return static_cast<BYTE>(static_cast<std::uint64_t>(v) * 255 / top);
}

bool MasksUsable(const std::uint32_t (&masks)[3], int bitsPerPixel)
{
    std::uint64_t limit = bitsPerPixel == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    for (std::uint32_t mask : masks) {
        if (mask > limit)
            return false;
    }
    return true;
}

}  // namespace

std::optional<DibFormat> ParseDibHeader(std::span<const BYTE> header)
{
    if (header.size() < sizeof(BITMAPINFOHEADER))
        return std::nullopt;
    BITMAPINFOHEADER h;
    std::memcpy(&h, header.data(), sizeof h);
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == std::numeric_limits<LONG>::min())
        return std::nullopt;
    DibFormat f;
    f.width = h.biWidth;
    f.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    f.bottomUp = h.biHeight > 0;
    f.bitsPerPixel = h.biBitCount;
    f.declaredSize = h.biSizeImage;
    if (f.width > kMaxSurfaceSide || f.height > kMaxSurfaceSide)
        return std::nullopt;
    if (h.biCompression == BI_RGB) {
        if (f.bitsPerPixel == 16) {
            f.masks[0] = 0x7C00;
            f.masks[1] = 0x03E0;
            f.masks[2] = 0x001F;
        } else if (f.bitsPerPixel == 24 || f.bitsPerPixel == 32) {
            f.masks[0] = 0xFF0000;
            f.masks[1] = 0x00FF00;
            f.masks[2] = 0x0000FF;
        } else {
            return std::nullopt;
        }
    } else if (h.biCompression == BI_BITFIELDS && (f.bitsPerPixel == 16 || f.bitsPerPixel == 32)) {
        // The masks follow the 40 bytes of the header (a longer header keeps
        // them inside itself at the same place).
        if (header.size() < sizeof(BITMAPINFOHEADER) + 12)
            return std::nullopt;
        for (int i = 0; i < 3; ++i)
            f.masks[i] = Read32(header.data() + sizeof(BITMAPINFOHEADER) + 4 * i);
        if (!MasksUsable(f.masks, f.bitsPerPixel))
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    f.stride = ((static_cast<std::size_t>(f.width) * f.bitsPerPixel + 31) / 32) * 4;
    return f;
}

std::optional<std::size_t> DibBytes(const DibFormat& format, std::size_t scanLines)
{
    if (scanLines > static_cast<std::size_t>(kMaxSurfaceSide))
        return std::nullopt;
    return format.stride * scanLines;
}

Pixel DibPixel(const DibFormat& format, const BYTE* line, int x)
{
    std::uint32_t value = 0;
    switch (format.bitsPerPixel) {
    case 16:
        value = line[2 * x] | (line[2 * x + 1] << 8);
        break;
    case 24: {
        const BYTE* p = line + 3 * x;
        return (static_cast<Pixel>(p[2]) << 16) | (p[1] << 8) | p[0];
    }
    default:
        value = Read32(line + 4 * x);
        break;
    }
    return (static_cast<Pixel>(Channel(value, format.masks[0])) << 16) |
           (static_cast<Pixel>(Channel(value, format.masks[1])) << 8) | Channel(value, format.masks[2]);
}

bool DrawDib(Surface& target, const RECT& dest, const DibTransfer& dib, const RECT& source, const RECT& clip)
{
    const DibFormat& f = dib.format;
    std::optional<std::size_t> needed = DibBytes(f, dib.scanCount);
    if (!needed || *needed > dib.bits.size())
        return false;
    std::int64_t dw = static_cast<std::int64_t>(dest.right) - dest.left;
    std::int64_t dh = static_cast<std::int64_t>(dest.bottom) - dest.top;
    std::int64_t sw = static_cast<std::int64_t>(source.right) - source.left;
    std::int64_t sh = static_cast<std::int64_t>(source.bottom) - source.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return true;
    RECT r = Intersect(dest, clip);
    for (int y = r.top; y < r.bottom; ++y) {
        std::int64_t row = source.top + (static_cast<std::int64_t>(y) - dest.top) * sh / dh;  // top-down row
        if (row < 0 || row >= f.height)
            continue;
        std::int64_t scan = f.bottomUp ? f.height - 1 - row : row;  // buffer order
        if (scan < static_cast<std::int64_t>(dib.firstScan) ||
            scan >= static_cast<std::int64_t>(dib.firstScan + dib.scanCount))
            continue;
        const BYTE* line = dib.bits.data() + static_cast<std::size_t>(scan - dib.firstScan) * f.stride;
        Pixel* out = target.Row(y);
        for (int x = r.left; x < r.right; ++x) {
            std::int64_t col = source.left + (static_cast<std::int64_t>(x) - dest.left) * sw / dw;
            if (col >= 0 && col < f.width)
                out[x] = DibPixel(f, line, static_cast<int>(col));
        }
    }
    target.CoverText(r);
    return true;
}

}  // namespace platform::gdi
