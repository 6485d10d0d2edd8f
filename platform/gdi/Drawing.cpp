// Fills, lines, pixels and blits. Every call has the same shape: find the
// context, convert the logical rectangle to device pixels, run one engine
// operation per clip rectangle.
#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "platform/base/LastError.h"
#include "platform/gdi/GdiState.h"

namespace platform::gdi {
namespace {

std::atomic<std::uint64_t> g_screenSerial{0};

// Calls f(clipRect) for each clip rectangle that meets `device`.
template <typename F>
void ForClip(const DeviceContext& dc, const RECT& device, F&& f)
{
    for (const RECT& clip : dc.clip) {
        if (!IsEmpty(Intersect(clip, device)))
            f(clip);
    }
}

void FillLocked(DeviceContext& dc, const RECT& logical, COLORREF color)
{
    RECT device = ToDevice(dc, logical);
    ForClip(dc, device, [&](const RECT& clip) { dc.surface->Fill(device, clip, ToPixel(color)); });
    NoteWindowDrawn(dc);
}

bool InClip(const DeviceContext& dc, int x, int y)
{
    for (const RECT& c : dc.clip) {
        if (x >= c.left && x < c.right && y >= c.top && y < c.bottom)
            return true;
    }
    return false;
}

// A rectangle from position and size; a negative or huge size is refused.
bool RectFromSize(int x, int y, int width, int height, RECT* rect)
{
    if (width < 0 || height < 0 || width > kMaxSurfaceSide * 4 || height > kMaxSurfaceSide * 4) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    *rect = Sized(x, y, width, height);
    return true;
}

// Cuts a line to a box around every surface (Liang-Barsky), so that a line
// between far-away points is walked only where it can be seen. False when
// nothing of it is inside.
bool ClipLine(std::int64_t& x0, std::int64_t& y0, std::int64_t& x1, std::int64_t& y1)
{
    constexpr double kLow = -2.0 * kMaxSurfaceSide;
    constexpr double kHigh = 3.0 * kMaxSurfaceSide;
    double dx = static_cast<double>(x1 - x0);
    double dy = static_cast<double>(y1 - y0);
    double enter = 0.0;
    double leave = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {static_cast<double>(x0) - kLow, kHigh - static_cast<double>(x0),
                         static_cast<double>(y0) - kLow, kHigh - static_cast<double>(y0)};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0.0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    if (enter > leave)
        return false;
    double sx = static_cast<double>(x0);
    double sy = static_cast<double>(y0);
    x0 = static_cast<std::int64_t>(sx + enter * dx);
    y0 = static_cast<std::int64_t>(sy + enter * dy);
    if (leave < 1.0) {
        x1 = static_cast<std::int64_t>(sx + leave * dx) + (dx > 0 ? 1 : dx < 0 ? -1 : 0);
        y1 = static_cast<std::int64_t>(sy + leave * dy) + (dy > 0 ? 1 : dy < 0 ? -1 : 0);
    }
    return true;
}

// A pen-wide square at each point of the line from (x0, y0) up to but not
// including (x1, y1).
void LineLocked(DeviceContext& dc, POINT from, POINT to)
{
    Object* pen = FindObjectLocked(dc.pen, Kind::Pen);
    if (pen == nullptr || pen->hollow)
        return;
    Pixel color = ToPixel(pen->color);
    int width = pen->penWidth;
    std::int64_t x = static_cast<std::int64_t>(from.x) + dc.origin.x;
    std::int64_t y = static_cast<std::int64_t>(from.y) + dc.origin.y;
    std::int64_t x1 = static_cast<std::int64_t>(to.x) + dc.origin.x;
    std::int64_t y1 = static_cast<std::int64_t>(to.y) + dc.origin.y;
    if (!ClipLine(x, y, x1, y1))
        return;
    std::int64_t dx = std::llabs(x1 - x);
    std::int64_t dy = -std::llabs(y1 - y);
    int sx = x < x1 ? 1 : -1;
    int sy = y < y1 ? 1 : -1;
    std::int64_t error = dx + dy;
    constexpr std::int64_t kMaxSteps = 8 * kMaxSurfaceSide;
    for (std::int64_t step = 0; (x != x1 || y != y1) && step < kMaxSteps; ++step) {
        if (width == 1) {
            if (InClip(dc, static_cast<int>(x), static_cast<int>(y)))
                dc.surface->Row(static_cast<int>(y))[x] = color;
        } else {
            RECT square{static_cast<LONG>(x - width / 2), static_cast<LONG>(y - width / 2),
                        static_cast<LONG>(x - width / 2 + width), static_cast<LONG>(y - width / 2 + width)};
            for (const RECT& clip : dc.clip)
                dc.surface->Fill(square, clip, color);
        }
        std::int64_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
    NoteWindowDrawn(dc);
}

// The surface and device rectangle behind a blit source (a context or, for
// TransparentImage, a bitmap).
bool SourceLocked(HANDLE source, std::shared_ptr<Surface>* surface, POINT* origin)
{
    if (auto it = Gdi().contexts.find(reinterpret_cast<std::uintptr_t>(source)); it != Gdi().contexts.end()) {
        *surface = it->second.surface;
        *origin = it->second.origin;
        return *surface != nullptr;
    }
    Object* bitmap = FindObjectLocked(source, Kind::Bitmap);
    if (bitmap == nullptr)
        return false;
    *surface = bitmap->surface;
    *origin = POINT{};
    return true;
}

}  // namespace

std::uint64_t ScreenSerial() { return g_screenSerial.load(); }

void NoteScreenChanged() { g_screenSerial.fetch_add(1); }

void NoteWindowDrawn(const DeviceContext& dc)
{
    if (dc.window != nullptr)
        g_screenSerial.fetch_add(1);
}

bool BrushColorLocked(HBRUSH brush, COLORREF* color)
{
    auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value >= 1 && value <= 32) {
        *color = GetSysColor(static_cast<int>(value - 1));
        return true;
    }
    Object* o = FindObjectLocked(brush, Kind::Brush);
    if (o == nullptr || o->hollow)
        return false;
    *color = o->color;
    return true;
}

}  // namespace platform::gdi

using namespace platform::gdi;

int FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    COLORREF color = 0;
    if (context == nullptr || rect == nullptr || !BrushColorLocked(brush, &color))
        return 0;
    FillLocked(*context, *rect, color);
    return 1;
}

// The pen draws inside the rectangle; the brush fills what is left.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    if (context == nullptr)
        return FALSE;
    Object* pen = FindObjectLocked(context->pen, Kind::Pen);
    int w = pen != nullptr && !pen->hollow ? pen->penWidth : 0;
    RECT outer{left, top, right, bottom};
    if (w == 0) {
        outer.right -= 1;
        outer.bottom -= 1;
    }
    COLORREF fill = 0;
    if (BrushColorLocked(static_cast<HBRUSH>(context->brush), &fill))
        FillLocked(*context, RECT{outer.left + w, outer.top + w, outer.right - w, outer.bottom - w}, fill);
    if (w > 0) {
        FillLocked(*context, RECT{left, top, right, top + w}, pen->color);
        FillLocked(*context, RECT{left, bottom - w, right, bottom}, pen->color);
        FillLocked(*context, RECT{left, top + w, left + w, bottom - w}, pen->color);
        FillLocked(*context, RECT{right - w, top + w, right, bottom - w}, pen->color);
    }
    return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    if (context == nullptr || points == nullptr || count < 2)
        return FALSE;
    for (int i = 1; i < count; ++i)
        LineLocked(*context, points[i - 1], points[i]);
    return TRUE;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    if (context == nullptr)
        return FALSE;
    if (previous != nullptr)
        *previous = context->position;
    context->position = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    if (context == nullptr)
        return FALSE;
    LineLocked(*context, context->position, POINT{x, y});
    context->position = POINT{x, y};
    return TRUE;
}

namespace {

// The pixel a logical point names in a context, or null outside its clip.
Pixel* PixelLocked(DeviceContext& context, int x, int y)
{
    std::int64_t dx = static_cast<std::int64_t>(x) + context.origin.x;
    std::int64_t dy = static_cast<std::int64_t>(y) + context.origin.y;
    if (dx < INT32_MIN || dx > INT32_MAX || dy < INT32_MIN || dy > INT32_MAX ||
        !InClip(context, static_cast<int>(dx), static_cast<int>(dy)))
        return nullptr;
    return context.surface->Row(static_cast<int>(dy)) + dx;
}

}  // namespace

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    Pixel* pixel = context != nullptr ? PixelLocked(*context, x, y) : nullptr;
    if (pixel == nullptr)
        return CLR_INVALID;
    *pixel = ToPixel(color);
    NoteWindowDrawn(*context);
    return color & 0xFFFFFF;
}

COLORREF GetPixel(HDC dc, int x, int y)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    Pixel* pixel = context != nullptr ? PixelLocked(*context, x, y) : nullptr;
    return pixel != nullptr ? ToColorRef(*pixel) : CLR_INVALID;
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    RECT rect{};
    if (context == nullptr || !RectFromSize(x, y, width, height, &rect))
        return FALSE;
    COLORREF color = 0;
    if (rop == BLACKNESS)
        color = 0;
    else if (rop == WHITENESS)
        color = 0xFFFFFF;
    else if (rop != PATCOPY || !BrushColorLocked(static_cast<HBRUSH>(context->brush), &color))
        return FALSE;
    FillLocked(*context, rect, color);
    return TRUE;
}

// SRCCOPY (and the fills PatBlt knows). Text drawn in the source comes along
// with its pixels.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop)
{
    if (rop != SRCCOPY)
        return PatBlt(dest, x, y, width, height, rop);
    std::lock_guard guard(Gdi().lock);
    DeviceContext* to = FindDcLocked(dest);
    DeviceContext* from = FindDcLocked(source);
    RECT rect{};
    if (to == nullptr || from == nullptr || !RectFromSize(x, y, width, height, &rect))
        return FALSE;
    RECT device = ToDevice(*to, rect);
    LONG sx = Add(sourceX, from->origin.x);
    LONG sy = Add(sourceY, from->origin.y);
    ForClip(*to, device, [&](const RECT& clip) { to->surface->Copy(device, *from->surface, sx, sy, clip); });
    RECT sourceRect = Sized(sx, sy, width, height);
    std::int64_t dx = static_cast<std::int64_t>(device.left) - sx;
    std::int64_t dy = static_cast<std::int64_t>(device.top) - sy;
    // Text comes along only where source and destination can both be seen.
    if (std::llabs(dx) < 2 * kMaxSurfaceSide && std::llabs(dy) < 2 * kMaxSurfaceSide) {
        for (const RECT& clip : to->clip)
            to->surface->CopyTextFrom(*from->surface, sourceRect, static_cast<int>(dx), static_cast<int>(dy), clip,
                                      to->window);
    }
    NoteWindowDrawn(*to);
    return TRUE;
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, int sourceWidth,
                int sourceHeight, DWORD rop)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* to = FindDcLocked(dest);
    DeviceContext* from = FindDcLocked(source);
    RECT rect{};
    RECT sourceRect{};
    if (to == nullptr || from == nullptr || rop != SRCCOPY || !RectFromSize(x, y, width, height, &rect) ||
        !RectFromSize(sourceX, sourceY, sourceWidth, sourceHeight, &sourceRect))
        return FALSE;
    RECT device = ToDevice(*to, rect);
    sourceRect = ToDevice(*from, sourceRect);
    ForClip(*to, device, [&](const RECT& clip) { to->surface->Stretch(device, *from->surface, sourceRect, clip); });
    NoteWindowDrawn(*to);
    return TRUE;
}

BOOL TransparentImage(HDC dest, int x, int y, int width, int height, HANDLE source, int sourceX, int sourceY,
                      int sourceWidth, int sourceHeight, COLORREF transparent)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* to = FindDcLocked(dest);
    std::shared_ptr<Surface> surface;
    POINT origin{};
    RECT rect{};
    RECT sourceRect{};
    if (to == nullptr || !SourceLocked(source, &surface, &origin) || !RectFromSize(x, y, width, height, &rect) ||
        !RectFromSize(sourceX, sourceY, sourceWidth, sourceHeight, &sourceRect))
        return FALSE;
    RECT device = ToDevice(*to, rect);
    sourceRect = Offset(sourceRect, origin.x, origin.y);
    Pixel key = ToPixel(transparent);
    ForClip(*to, device, [&](const RECT& clip) { to->surface->Stretch(device, *surface, sourceRect, clip, &key); });
    NoteWindowDrawn(*to);
    return TRUE;
}

namespace {

// Replaces a context's clip rectangles by what `change` makes of each; the
// result is a region type (NULLREGION 1, SIMPLEREGION 2, COMPLEXREGION 3).
template <typename Change>
int ChangeClip(HDC dc, const RECT& logical, Change&& change)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    if (context == nullptr)
        return 0;
    RECT device = ToDevice(*context, logical);
    std::vector<RECT> clip;
    for (const RECT& piece : context->clip)
        change(piece, device, clip);
    context->clip = std::move(clip);
    return context->clip.empty() ? 1 : context->clip.size() == 1 ? 2 : 3;
}

}  // namespace

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom)
{
    return ChangeClip(dc, RECT{left, top, right, bottom},
                      [](const RECT& piece, const RECT& with, std::vector<RECT>& out) {
                          RECT r = Intersect(piece, with);
                          if (!IsEmpty(r))
                              out.push_back(r);
                      });
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom)
{
    return ChangeClip(dc, RECT{left, top, right, bottom}, Subtract);
}
