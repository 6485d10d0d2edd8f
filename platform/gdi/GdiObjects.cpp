// The object table: creating, selecting and deleting bitmaps, brushes, pens,
// fonts and memory device contexts.
#include <algorithm>
#include <cstring>

#include "platform/base/LastError.h"
#include "platform/gdi/GdiState.h"

namespace platform::gdi {
namespace {

// Handles: a serial number (never reused) times 16 plus the kind, so that a
// handle of one kind is never taken for another and a deleted handle stays
// dead. Serials start high so that no handle looks like a system colour
// brush (COLOR_* + 1).
std::uintptr_t MakeValue(std::uintptr_t serial, Kind kind) { return (serial << 4) | static_cast<std::uintptr_t>(kind); }
Kind KindOf(std::uintptr_t value) { return static_cast<Kind>(value & 0xF); }
std::uintptr_t Value(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }

constexpr int kStockBitmap = 9;  // an index GetStockObject does not hand out

void InitStockLocked(GdiState& s)
{
    if (s.stock[WHITE_BRUSH] != nullptr)
        return;
    auto stock = [&](Kind kind, COLORREF color, bool hollow) {
        Object o{kind};
        o.stock = true;
        o.color = color;
        o.hollow = hollow;
        return AddObjectLocked(o);
    };
    auto brush = [&](COLORREF color, bool hollow) { return stock(Kind::Brush, color, hollow); };
    auto pen = [&](COLORREF color, bool hollow) { return stock(Kind::Pen, color, hollow); };
    s.stock[WHITE_BRUSH] = brush(RGB(255, 255, 255), false);
    s.stock[LTGRAY_BRUSH] = brush(RGB(192, 192, 192), false);
    s.stock[GRAY_BRUSH] = brush(RGB(128, 128, 128), false);
    s.stock[DKGRAY_BRUSH] = brush(RGB(64, 64, 64), false);
    s.stock[BLACK_BRUSH] = brush(RGB(0, 0, 0), false);
    s.stock[NULL_BRUSH] = brush(0, true);
    s.stock[WHITE_PEN] = pen(RGB(255, 255, 255), false);
    s.stock[BLACK_PEN] = pen(RGB(0, 0, 0), false);
    s.stock[NULL_PEN] = pen(0, true);
    Object font{Kind::Font};
    font.stock = true;
    font.logFont.lfHeight = -12;
    font.logFont.lfWeight = FW_NORMAL;
    font.font = FontEngine::Instance().Get(u"", -12, FW_NORMAL);
    s.stock[SYSTEM_FONT] = AddObjectLocked(font);
    // A memory context starts with a 1x1 bitmap of its own.
    Object bitmap{Kind::Bitmap};
    bitmap.stock = true;
    bitmap.surface = Surface::Create(1, 1);
    s.stock[kStockBitmap] = AddObjectLocked(bitmap);
}

HGDIOBJ* SlotFor(DeviceContext& dc, Kind kind)
{
    switch (kind) {
    case Kind::Bitmap:
        return &dc.bitmap;
    case Kind::Brush:
        return &dc.brush;
    case Kind::Pen:
        return &dc.pen;
    case Kind::Font:
        return &dc.font;
    default:
        return nullptr;
    }
}

void Unselect(HGDIOBJ handle)
{
    auto it = Gdi().objects.find(Value(handle));
    if (it != Gdi().objects.end())
        it->second.selections = std::max(0, it->second.selections - 1);
}

}  // namespace

GdiState& Gdi()
{
    static GdiState* state = [] {
        auto* made = new GdiState;
        made->nextSerial = 0x1000;
        return made;
    }();
    return *state;
}

HGDIOBJ AddObjectLocked(Object object)
{
    GdiState& s = Gdi();
    std::uintptr_t value = MakeValue(s.nextSerial++, object.kind);
    s.objects.emplace(value, std::move(object));
    return reinterpret_cast<HGDIOBJ>(value);
}

HDC AddDcLocked(DeviceContext dc)
{
    GdiState& s = Gdi();
    InitStockLocked(s);
    for (int index : {WHITE_BRUSH, BLACK_PEN, SYSTEM_FONT}) {
        HGDIOBJ object = s.stock[index];
        *SlotFor(dc, KindOf(Value(object))) = object;
        ++s.objects.at(Value(object)).selections;
    }
    if (dc.memory) {
        dc.bitmap = s.stock[kStockBitmap];
        ++s.objects.at(Value(dc.bitmap)).selections;
        dc.surface = s.objects.at(Value(dc.bitmap)).surface;
        dc.clip = {dc.surface->Bounds()};
    }
    std::uintptr_t value = MakeValue(s.nextSerial++, Kind::Dc);
    s.contexts.emplace(value, std::move(dc));
    return reinterpret_cast<HDC>(value);
}

Object* FindObjectLocked(HGDIOBJ handle, Kind kind)
{
    auto it = Gdi().objects.find(Value(handle));
    if (it == Gdi().objects.end() || it->second.kind != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return &it->second;
}

DeviceContext* FindDcLocked(HDC dc)
{
    auto it = Gdi().contexts.find(Value(dc));
    if (it == Gdi().contexts.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return &it->second;
}

Font& DcFontLocked(DeviceContext& dc)
{
    Object* font = FindObjectLocked(dc.font, Kind::Font);
    if (font == nullptr || !font->font)
        font = FindObjectLocked(Gdi().stock[SYSTEM_FONT], Kind::Font);
    return *font->font;
}

RECT ToDevice(const DeviceContext& dc, const RECT& logical) { return Offset(logical, dc.origin.x, dc.origin.y); }

void DeleteDcLocked(HDC dc)
{
    auto it = Gdi().contexts.find(Value(dc));
    if (it == Gdi().contexts.end())
        return;
    for (HGDIOBJ object : {it->second.bitmap, it->second.brush, it->second.pen, it->second.font})
        Unselect(object);
    Gdi().contexts.erase(it);
}

}  // namespace platform::gdi

using namespace platform::gdi;

HDC CreateCompatibleDC(HDC dc)
{
    std::lock_guard guard(Gdi().lock);
    if (dc != nullptr && FindDcLocked(dc) == nullptr)
        return nullptr;
    DeviceContext made;
    made.memory = true;
    return AddDcLocked(std::move(made));
}

BOOL DeleteDC(HDC dc)
{
    std::lock_guard guard(Gdi().lock);
    if (FindDcLocked(dc) == nullptr)
        return FALSE;
    DeleteDcLocked(dc);
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    auto it = Gdi().objects.find(Value(object));
    if (context == nullptr || it == Gdi().objects.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    Object& o = it->second;
    HGDIOBJ* slot = SlotFor(*context, o.kind);
    if (slot == nullptr)
        return nullptr;
    if (o.kind == Kind::Bitmap) {
        // Bitmaps go into memory contexts only, and into one at a time.
        if (!context->memory || (!o.stock && o.selections > 0 && *slot != object)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        context->surface = o.surface;
        context->clip = {o.surface->Bounds()};
    }
    HGDIOBJ previous = *slot;
    if (previous == object)
        return previous;
    Unselect(previous);
    ++o.selections;
    *slot = object;
    return previous;
}

BOOL DeleteObject(HGDIOBJ object)
{
    std::lock_guard guard(Gdi().lock);
    auto it = Gdi().objects.find(Value(object));
    if (it == Gdi().objects.end() || it->second.kind == Kind::Icon) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (it->second.stock)
        return TRUE;
    // Deleting an object still selected into a context would leave the
    // context drawing with freed state: refused.
    if (it->second.selections > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Gdi().objects.erase(it);
    return TRUE;
}

HGDIOBJ GetStockObject(int index)
{
    std::lock_guard guard(Gdi().lock);
    InitStockLocked(Gdi());
    if (index < 0 || index > SYSTEM_FONT || index == kStockBitmap)
        return nullptr;
    return Gdi().stock[index];
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    if (context == nullptr)
        return nullptr;
    switch (type) {
    case OBJ_PEN:
        return context->pen;
    case OBJ_BRUSH:
        return context->brush;
    case OBJ_FONT:
        return context->font;
    case OBJ_BITMAP:
        return context->bitmap;
    default:
        return nullptr;
    }
}

DWORD GetObjectType(HGDIOBJ object)
{
    std::lock_guard guard(Gdi().lock);
    if (auto it = Gdi().contexts.find(Value(object)); it != Gdi().contexts.end())
        return it->second.memory ? OBJ_MEMDC : OBJ_DC;
    auto it = Gdi().objects.find(Value(object));
    if (it == Gdi().objects.end())
        return 0;
    switch (it->second.kind) {
    case Kind::Bitmap:
        return OBJ_BITMAP;
    case Kind::Brush:
        return OBJ_BRUSH;
    case Kind::Pen:
        return OBJ_PEN;
    case Kind::Font:
        return OBJ_FONT;
    default:
        return 0;
    }
}

int GetObjectW(HGDIOBJ object, int size, void* buffer)
{
    std::lock_guard guard(Gdi().lock);
    auto it = Gdi().objects.find(Value(object));
    if (it == Gdi().objects.end())
        return 0;
    const Object& o = it->second;
    if (o.kind == Kind::Bitmap && (buffer == nullptr || size >= static_cast<int>(sizeof(BITMAP)))) {
        if (buffer != nullptr) {
            BITMAP bm;
            bm.bmWidth = o.surface->Width();
            bm.bmHeight = o.surface->Height();
            bm.bmWidthBytes = o.surface->Width() * 4;
            bm.bmPlanes = 1;
            bm.bmBitsPixel = 32;
            std::memcpy(buffer, &bm, sizeof bm);
        }
        return sizeof(BITMAP);
    }
    if (o.kind == Kind::Font && (buffer == nullptr || size >= static_cast<int>(sizeof(LOGFONTW)))) {
        if (buffer != nullptr)
            std::memcpy(buffer, &o.logFont, sizeof o.logFont);
        return sizeof(LOGFONTW);
    }
    return 0;
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    std::lock_guard guard(Gdi().lock);
    Object o{Kind::Brush};
    o.color = color & 0xFFFFFF;
    return static_cast<HBRUSH>(AddObjectLocked(o));
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    if (style != PS_SOLID && style != PS_NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard guard(Gdi().lock);
    Object o{Kind::Pen};
    o.color = color & 0xFFFFFF;
    o.hollow = style == PS_NULL;
    o.penWidth = std::clamp(width, 1, 64);
    return static_cast<HPEN>(AddObjectLocked(o));
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
    std::lock_guard guard(Gdi().lock);
    if (FindDcLocked(dc) == nullptr)
        return nullptr;
    Object o{Kind::Bitmap};
    o.surface = Surface::Create(width, height);
    if (!o.surface) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return static_cast<HBITMAP>(AddObjectLocked(o));
}

// 32-bit pixels only (0x00RRGGBB as the device keeps them).
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    if (planes != 1 || bitsPerPixel != 32) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard guard(Gdi().lock);
    Object o{Kind::Bitmap};
    o.surface = Surface::Create(width, height);
    if (!o.surface) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (bits != nullptr)
        std::memcpy(o.surface->Storage(), bits, static_cast<std::size_t>(width) * height * sizeof(Pixel));
    return static_cast<HBITMAP>(AddObjectLocked(o));
}

COLORREF GetSysColor(int index)
{
    switch (index) {
    case COLOR_WINDOW:
    case COLOR_HIGHLIGHTTEXT:
        return RGB(255, 255, 255);
    case COLOR_HIGHLIGHT:
        return RGB(0x31, 0x6A, 0xC5);
    case COLOR_BTNFACE:
    case COLOR_SCROLLBAR:
        return RGB(0xD4, 0xD0, 0xC8);
    case COLOR_GRAYTEXT:
        return RGB(0xA0, 0xA0, 0xA0);
    case COLOR_BACKGROUND:
        return RGB(0x2A, 0x3A, 0x55);
    default:
        return RGB(0, 0, 0);
    }
}

// The "colour index + 1" form that FillRect and class backgrounds accept.
HBRUSH GetSysColorBrush(int index) { return reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(index + 1)); }
