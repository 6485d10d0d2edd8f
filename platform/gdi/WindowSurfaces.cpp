// Surfaces of top-level windows and the contexts that draw into them.
#include <algorithm>

#include "platform/gdi/GdiState.h"

namespace platform::gdi {

HDC MakeWindowDc(HWND window, HWND topLevel, int topWidth, int topHeight, POINT origin, std::vector<RECT> clip)
{
    std::lock_guard guard(Gdi().lock);
    std::shared_ptr<Surface>& surface = Gdi().windowSurfaces[topLevel];
    if (!surface || surface->Width() != topWidth || surface->Height() != topHeight) {
        surface = Surface::Create(topWidth, topHeight, 0xFFFFFF);
        // A window without area still gets a context; it draws nowhere.
        if (!surface) {
            surface = Surface::Create(1, 1, 0xFFFFFF);
            clip.clear();
        }
    }
    DeviceContext dc;
    dc.window = window;
    dc.surface = surface;
    dc.origin = origin;
    for (const RECT& r : clip) {
        RECT inside = Intersect(r, surface->Bounds());
        if (!IsEmpty(inside))
            dc.clip.push_back(inside);
    }
    return AddDcLocked(std::move(dc));
}

void ForgetWindowText(HDC dc, const RECT& logical)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    if (context != nullptr && context->window != nullptr)
        context->surface->RemoveTextOf(context->window, ToDevice(*context, logical));
}

std::shared_ptr<Surface> WindowSurfaceLocked(HWND topLevel)
{
    auto it = Gdi().windowSurfaces.find(topLevel);
    return it != Gdi().windowSurfaces.end() ? it->second : nullptr;
}

}  // namespace platform::gdi

namespace platform::gdi {

void PaintWindowsOnto(HBITMAP target, const std::vector<ShownWindow>& windows, const RECT& area, Pixel background)
{
    std::lock_guard guard(Gdi().lock);
    Object* bitmap = FindObjectLocked(target, Kind::Bitmap);
    if (bitmap == nullptr)
        return;
    Surface& screen = *bitmap->surface;
    RECT clip = Intersect(area, screen.Bounds());
    screen.Fill(clip, clip, background);
    for (const ShownWindow& shown : windows) {
        std::shared_ptr<Surface> surface = WindowSurfaceLocked(shown.window);
        if (!surface) {
            screen.Fill(shown.rect, clip, 0xFFFFFF);
            continue;
        }
        screen.Copy(Offset(surface->Bounds(), shown.rect.left, shown.rect.top), *surface, 0, 0, clip);
        screen.CopyTextFrom(*surface, surface->Bounds(), shown.rect.left, shown.rect.top, clip, nullptr);
    }
}

std::shared_ptr<Surface> SurfaceOf(HBITMAP bitmap)
{
    std::lock_guard guard(Gdi().lock);
    Object* o = FindObjectLocked(bitmap, Kind::Bitmap);
    return o != nullptr ? o->surface : nullptr;
}

}  // namespace platform::gdi

void platform::gdi::KeepWindowSurfaces(const std::vector<HWND>& alive)
{
    std::lock_guard guard(Gdi().lock);
    std::erase_if(Gdi().windowSurfaces,
                  [&](const auto& entry) { return std::find(alive.begin(), alive.end(), entry.first) == alive.end(); });
}
