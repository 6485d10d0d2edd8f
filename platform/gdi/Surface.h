// The drawing engine: a 32-bit pixel surface and the few operations every
// drawing call reduces to. Plain C++, no handles; callers pass a clip
// rectangle already intersected with the surface.
//
// Pixels are 0x00RRGGBB. A surface either owns its pixels or, for a
// bottom-up DIB section, walks them with a negative stride so that row 0 is
// always the top row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/Types.h"

namespace platform::gdi {

using Pixel = std::uint32_t;

constexpr Pixel ToPixel(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
constexpr COLORREF ToColorRef(Pixel p) { return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16); }

// Text as drawn: kept on the surface it was drawn on so that tests and the
// remote control can read what the screen shows. A record goes away when a
// later fill or copy covers its whole rectangle.
struct DrawnText {
    WideString text;
    RECT rect{};            // surface coordinates
    HWND window = nullptr;  // the window whose context drew it (null in a memory context)
};

// Coordinates come from callers and may be anywhere in the 32-bit range:
// sums saturate instead of overflowing.
LONG Add(LONG a, std::int64_t b);
RECT Sized(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height);

bool IsEmpty(const RECT& r);
RECT Intersect(const RECT& a, const RECT& b);
bool Contains(const RECT& outer, const RECT& inner);
RECT Offset(const RECT& r, int dx, int dy);
// Appends the up to four pieces of `piece` around `cut`.
void Subtract(const RECT& piece, const RECT& cut, std::vector<RECT>& out);

// Largest side and pixel count a surface may have.
constexpr int kMaxSurfaceSide = 16384;
constexpr std::size_t kMaxSurfacePixels = 32u * 1024 * 1024;

class Surface {
public:
    // Null when the size is not positive or too large.
    static std::shared_ptr<Surface> Create(int width, int height, Pixel fill = 0);
    // A surface over 32-bit pixels owned elsewhere (a bottom-up DIB section
    // passes bottomUp so that row 0 is the last row in memory).
    static std::shared_ptr<Surface> Wrap(std::shared_ptr<std::vector<Pixel>> storage, int width, int height,
                                         bool bottomUp);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    RECT Bounds() const { return RECT{0, 0, m_width, m_height}; }
    Pixel* Row(int y) { return m_origin + static_cast<std::ptrdiff_t>(y) * m_stride; }
    const Pixel* Row(int y) const { return m_origin + static_cast<std::ptrdiff_t>(y) * m_stride; }
    Pixel* Storage() { return m_storage->data(); }

    // All operations clip to `clip` (which must lie inside the surface).
    void Fill(const RECT& rect, const RECT& clip, Pixel color);
    // Blends `color` through an 8-bit coverage mask whose top-left is at (x, y).
    void BlendMask(int x, int y, const BYTE* mask, int maskWidth, int maskHeight, int pitch, const RECT& clip,
                   Pixel color);
    // Copies the source rectangle starting at (sourceX, sourceY) to `dest`
    // (same size); source and this surface may be the same.
    void Copy(const RECT& dest, const Surface& source, int sourceX, int sourceY, const RECT& clip);
    // Nearest-neighbour copy of `sourceRect` onto `dest`; with `key`, source
    // pixels of that colour are left out.
    void Stretch(const RECT& dest, const Surface& source, const RECT& sourceRect, const RECT& clip,
                 const Pixel* key = nullptr);
    // Blends 0xAARRGGBB pixels (icons).
    void BlendArgb(const RECT& dest, const Surface& source, const RECT& sourceRect, const RECT& clip);

    // Text bookkeeping.
    void CoverText(const RECT& rect);
    void AddText(DrawnText text);
    // Text of the source inside `sourceRect`, moved by (dx, dy); `window`
    // becomes its owner (null keeps the source's).
    void CopyTextFrom(const Surface& source, const RECT& sourceRect, int dx, int dy, const RECT& clip, HWND window);
    const std::vector<DrawnText>& Texts() const { return m_texts; }
    void RemoveTextOf(HWND window, const RECT& rect);

private:
    Surface() = default;

    int m_width = 0;
    int m_height = 0;
    std::shared_ptr<std::vector<Pixel>> m_storage;
    Pixel* m_origin = nullptr;
    std::ptrdiff_t m_stride = 0;  // pixels from one row to the next
    std::vector<DrawnText> m_texts;
};

}  // namespace platform::gdi
