// Internal state of the drawing calls: the object table (bitmaps, brushes,
// pens, fonts, icons, device contexts) and the surfaces of top-level
// windows. Only platform/gdi, platform/win painting and platform/display
// include it.
//
// Locking: GdiState::lock guards every object and surface. It is taken after
// the window lock when both are needed, never before.
#pragma once

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/gdi/FontEngine.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"

namespace platform::gdi {

enum class Kind : std::uint8_t { Bitmap = 1, Brush, Pen, Font, Icon, Dc };

struct Object {
    explicit Object(Kind k) : kind(k) {}
    Kind kind;
    bool stock = false;
    int selections = 0;  // device contexts it is selected into
    // Bitmap
    std::shared_ptr<Surface> surface;
    // Brush and pen
    COLORREF color = 0;
    bool hollow = false;  // NULL_BRUSH / PS_NULL
    int penWidth = 1;
    // Font
    LOGFONTW logFont;
    std::shared_ptr<Font> font;
    // Icon: 0xAARRGGBB pixels
    std::shared_ptr<Surface> icon;
};

struct DeviceContext {
    HWND window = nullptr;  // window contexts: the window drawn into
    bool memory = false;
    std::shared_ptr<Surface> surface;  // the window's top-level surface or the selected bitmap's
    POINT origin{};                    // device position of logical (0, 0)
    std::vector<RECT> clip;            // device rectangles, inside the surface
    HGDIOBJ bitmap = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ pen = nullptr;
    HGDIOBJ font = nullptr;
    COLORREF textColor = 0;
    COLORREF backColor = 0xFFFFFF;
    int backMode = OPAQUE;
    POINT position{};
};

struct GdiState {
    std::mutex lock;
    std::unordered_map<std::uintptr_t, Object> objects;
    std::unordered_map<std::uintptr_t, DeviceContext> contexts;
    std::unordered_map<HWND, std::shared_ptr<Surface>> windowSurfaces;  // top-level windows
    std::uintptr_t nextSerial = 1;
    HGDIOBJ stock[SYSTEM_FONT + 1] = {};
};

GdiState& Gdi();

// Lookups under the lock; null (and ERROR_INVALID_HANDLE) for a handle that
// is not live or not of the kind asked for.
Object* FindObjectLocked(HGDIOBJ handle, Kind kind);
DeviceContext* FindDcLocked(HDC dc);
HGDIOBJ AddObjectLocked(Object object);
HDC AddDcLocked(DeviceContext dc);
void DeleteDcLocked(HDC dc);

// The font a context draws with (its selected font or the default).
Font& DcFontLocked(DeviceContext& dc);

// Device rectangles of a context that a logical rectangle reaches.
RECT ToDevice(const DeviceContext& dc, const RECT& logical);

// Counts drawing into window surfaces, so that the screen knows when to
// show them again.
std::uint64_t ScreenSerial();
void NoteWindowDrawn(const DeviceContext& dc);

// The colour of a brush handle (a brush object or COLOR_* + 1); false for a
// hollow or invalid brush.
bool BrushColorLocked(HBRUSH brush, COLORREF* color);

// Window contexts (platform/win supplies the geometry): the top-level
// window's surface is made or resized on demand. `clip` and `origin` are in
// top-level coordinates.
HDC MakeWindowDc(HWND window, HWND topLevel, int topWidth, int topHeight, POINT origin, std::vector<RECT> clip);
// Drops the text a window drew inside `logical` (it is about to be painted
// again).
void ForgetWindowText(HDC dc, const RECT& logical);
// The surface of a top-level window, or null when it has never drawn.
std::shared_ptr<Surface> WindowSurfaceLocked(HWND topLevel);
// Drops the surfaces of top-level windows that are gone.
void KeepWindowSurfaces(const std::vector<HWND>& alive);
// Copies the surfaces of the given top-level windows (bottom first) onto a
// bitmap, clipped to `area`, with their text; where no window is, `area` is
// filled with `background`.
struct ShownWindow {
    HWND window = nullptr;
    RECT rect{};
};
void PaintWindowsOnto(HBITMAP target, const std::vector<ShownWindow>& windows, const RECT& area, Pixel background);
// The pixels of a bitmap (shared, not copied), or null.
std::shared_ptr<Surface> SurfaceOf(HBITMAP bitmap);

// Something outside the window surfaces that the screen shows changed (a
// title, the z-order).
void NoteScreenChanged();

}  // namespace platform::gdi
