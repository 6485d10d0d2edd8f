#include "platform/gdi/Surface.h"

#include <algorithm>
#include <cstring>

namespace platform::gdi {

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT Intersect(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    return IsEmpty(r) ? RECT{} : r;
}

bool Contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

LONG Add(LONG a, std::int64_t b) { return static_cast<LONG>(std::clamp<std::int64_t>(a + b, INT32_MIN, INT32_MAX)); }

RECT Sized(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height)
{
    LONG left = Add(0, x);
    LONG top = Add(0, y);
    return RECT{left, top, Add(left, width), Add(top, height)};
}

RECT Offset(const RECT& r, int dx, int dy)
{
    return RECT{Add(r.left, dx), Add(r.top, dy), Add(r.right, dx), Add(r.bottom, dy)};
}

std::shared_ptr<Surface> Surface::Create(int width, int height, Pixel fill)
{
    if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide ||
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) > kMaxSurfacePixels)
        return nullptr;
    auto storage = std::make_shared<std::vector<Pixel>>(static_cast<std::size_t>(width) * height, fill);
    return Wrap(std::move(storage), width, height, false);
}

std::shared_ptr<Surface> Surface::Wrap(std::shared_ptr<std::vector<Pixel>> storage, int width, int height,
                                       bool bottomUp)
{
    if (!storage || width <= 0 || height <= 0 ||
        storage->size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return nullptr;
    std::shared_ptr<Surface> surface(new Surface);
    surface->m_width = width;
    surface->m_height = height;
    surface->m_storage = std::move(storage);
    surface->m_stride = bottomUp ? -static_cast<std::ptrdiff_t>(width) : width;
    surface->m_origin = surface->m_storage->data() + (bottomUp ? static_cast<std::ptrdiff_t>(height - 1) * width : 0);
    return surface;
}

void Surface::Fill(const RECT& rect, const RECT& clip, Pixel color)
{
    RECT r = Intersect(rect, clip);
    if (IsEmpty(r))
        return;
    for (int y = r.top; y < r.bottom; ++y)
        std::fill(Row(y) + r.left, Row(y) + r.right, color);
    CoverText(r);
}

namespace {

inline Pixel Blend(Pixel dst, Pixel src, unsigned alpha)
{
    if (alpha == 0)
        return dst;
    if (alpha >= 255)
        return src;
    unsigned inv = 255 - alpha;
    unsigned rb = ((src & 0xFF00FF) * alpha + (dst & 0xFF00FF) * inv + 0x800080) >> 8;
    unsigned g = ((src & 0x00FF00) * alpha + (dst & 0x00FF00) * inv + 0x008000) >> 8;
    return (rb & 0xFF00FF) | (g & 0x00FF00);
}

}  // namespace

void Surface::BlendMask(int x, int y, const BYTE* mask, int maskWidth, int maskHeight, int pitch, const RECT& clip,
                        Pixel color)
{
    RECT r = Intersect(Sized(x, y, maskWidth, maskHeight), clip);
    for (int row = r.top; row < r.bottom; ++row) {
        const BYTE* coverage = mask + static_cast<std::ptrdiff_t>(row - y) * pitch + (r.left - x);
        Pixel* out = Row(row);
        for (int col = r.left; col < r.right; ++col, ++coverage)
            out[col] = Blend(out[col], color, *coverage);
    }
}

void Surface::Copy(const RECT& dest, const Surface& source, int sourceX, int sourceY, const RECT& clip)
{
    // Clip against the destination, then against the source bounds.
    std::int64_t dx64 = static_cast<std::int64_t>(sourceX) - dest.left;
    std::int64_t dy64 = static_cast<std::int64_t>(sourceY) - dest.top;
    // Both ends lie inside surfaces: farther apart, nothing can be copied.
    if (dx64 <= -2 * kMaxSurfaceSide || dx64 >= 2 * kMaxSurfaceSide || dy64 <= -2 * kMaxSurfaceSide ||
        dy64 >= 2 * kMaxSurfaceSide)
        return;
    RECT r = Intersect(dest, clip);
    int dx = static_cast<int>(dx64);
    int dy = static_cast<int>(dy64);
    r = Intersect(r, Offset(source.Bounds(), -dx, -dy));
    if (IsEmpty(r))
        return;
    std::size_t bytes = static_cast<std::size_t>(r.right - r.left) * sizeof(Pixel);
    bool upwards = &source == this && dy < 0;  // overlapping copy downwards: last row first
    for (int i = 0; i < r.bottom - r.top; ++i) {
        int y = upwards ? r.bottom - 1 - i : r.top + i;
        std::memmove(Row(y) + r.left, source.Row(y + dy) + r.left + dx, bytes);
    }
    CoverText(r);
}

// Calls put(target pixel, source pixel) for each pixel of `dest` inside
// `clip`, with the source pixel picked by nearest neighbour from
// `sourceRect`. Returns the rectangle walked.
template <typename Put>
RECT ScalePixels(Surface& target, const RECT& dest, const Surface& source, const RECT& sourceRect, const RECT& clip,
                 Put&& put)
{
    std::int64_t dw = static_cast<std::int64_t>(dest.right) - dest.left;
    std::int64_t dh = static_cast<std::int64_t>(dest.bottom) - dest.top;
    std::int64_t sw = static_cast<std::int64_t>(sourceRect.right) - sourceRect.left;
    std::int64_t sh = static_cast<std::int64_t>(sourceRect.bottom) - sourceRect.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return RECT{};
    RECT r = Intersect(dest, clip);
    for (int y = r.top; y < r.bottom; ++y) {
        std::int64_t sy = sourceRect.top + (static_cast<std::int64_t>(y) - dest.top) * sh / dh;
        if (sy < 0 || sy >= source.Height())
            continue;
        const Pixel* in = source.Row(static_cast<int>(sy));
        Pixel* out = target.Row(y);
        for (int x = r.left; x < r.right; ++x) {
            std::int64_t sx = sourceRect.left + (static_cast<std::int64_t>(x) - dest.left) * sw / dw;
            if (sx >= 0 && sx < source.Width())
                put(out[x], in[sx]);
        }
    }
    return r;
}

void Surface::Stretch(const RECT& dest, const Surface& source, const RECT& sourceRect, const RECT& clip,
                      const Pixel* key)
{
    RECT walked = ScalePixels(*this, dest, source, sourceRect, clip, [key](Pixel& out, Pixel in) {
        Pixel p = in & 0xFFFFFF;
        if (key == nullptr || p != *key)
            out = p;
    });
    if (key == nullptr)
        CoverText(walked);
}

void Surface::BlendArgb(const RECT& dest, const Surface& source, const RECT& sourceRect, const RECT& clip)
{
    ScalePixels(*this, dest, source, sourceRect, clip,
                [](Pixel& out, Pixel in) { out = Blend(out, in & 0xFFFFFF, in >> 24); });
}

void Subtract(const RECT& piece, const RECT& cut, std::vector<RECT>& out)
{
    RECT inside = Intersect(piece, cut);
    if (IsEmpty(inside)) {
        out.push_back(piece);
        return;
    }
    for (RECT part : {RECT{piece.left, piece.top, piece.right, inside.top},
                      RECT{piece.left, inside.bottom, piece.right, piece.bottom},
                      RECT{piece.left, inside.top, inside.left, inside.bottom},
                      RECT{inside.right, inside.top, piece.right, inside.bottom}}) {
        if (!IsEmpty(part))
            out.push_back(part);
    }
}

void Surface::CoverText(const RECT& rect)
{
    std::erase_if(m_texts, [&](const DrawnText& t) { return Contains(rect, t.rect); });
}

void Surface::AddText(DrawnText text)
{
    // The same text drawn again in the same place replaces the earlier record.
    std::erase_if(m_texts, [&](const DrawnText& t) {
        return t.text == text.text && t.rect.left == text.rect.left && t.rect.top == text.rect.top;
    });
    // A bound keeps a surface that is drawn on forever without fills small.
    constexpr std::size_t kMaxTexts = 4096;
    if (m_texts.size() >= kMaxTexts)
        m_texts.erase(m_texts.begin());
    m_texts.push_back(std::move(text));
}

void Surface::CopyTextFrom(const Surface& source, const RECT& sourceRect, int dx, int dy, const RECT& clip, HWND window)
{
    std::vector<DrawnText> copied;
    for (const DrawnText& t : source.m_texts) {
        if (!IsEmpty(Intersect(t.rect, sourceRect)) && !IsEmpty(Intersect(Offset(t.rect, dx, dy), clip)))
            copied.push_back(DrawnText{t.text, Offset(t.rect, dx, dy), window != nullptr ? window : t.window});
    }
    for (DrawnText& t : copied)
        AddText(std::move(t));
}

void Surface::RemoveTextOf(HWND window, const RECT& rect)
{
    std::erase_if(m_texts, [&](const DrawnText& t) { return t.window == window && !IsEmpty(Intersect(rect, t.rect)); });
}

}  // namespace platform::gdi
