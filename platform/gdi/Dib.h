// Reading device-independent bitmaps: the description (BITMAPINFOHEADER and,
// for bit-field bitmaps, the three colour masks after it) and pixel access
// that never leaves the buffer it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/gdi/Surface.h"

namespace platform::gdi {

struct DibFormat {
    int width = 0;
    int height = 0;  // rows, always positive
    bool bottomUp = true;
    int bitsPerPixel = 0;
    std::size_t stride = 0;        // bytes per scan line (padded to 4)
    std::size_t declaredSize = 0;  // biSizeImage, 0 when not given
    std::uint32_t masks[3] = {};   // red, green, blue
};

// Validates a description: `header` holds the 40-byte header and, for
// BI_BITFIELDS, the masks that follow it. Nothing on anything it refuses.
std::optional<DibFormat> ParseDibHeader(std::span<const BYTE> header);

// Bytes the pixel buffer needs for `scanLines` scan lines; nothing when that
// overflows.
std::optional<std::size_t> DibBytes(const DibFormat& format, std::size_t scanLines);

// Pixel x of a scan line (scan lines in buffer order). The caller checks that
// the line lies in the buffer and x in the width.
Pixel DibPixel(const DibFormat& format, const BYTE* line, int x);

// Draws a DIB onto a surface. `bits` holds scan lines [firstScan, firstScan +
// count) of the bitmap; rows outside that band are left alone. Source and
// destination rectangles are in top-down bitmap rows; returns false when the
// buffer is shorter than those lines.
struct DibTransfer {
    DibFormat format;
    std::span<const BYTE> bits;
    std::size_t firstScan = 0;
    std::size_t scanCount = 0;
};
bool DrawDib(Surface& target, const RECT& dest, const DibTransfer& dib, const RECT& source, const RECT& clip);

}  // namespace platform::gdi
