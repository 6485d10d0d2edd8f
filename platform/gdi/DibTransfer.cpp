// SetDIBitsToDevice, StretchDIBits and CreateDIBSection on top of the DIB
// reader.
#include <algorithm>
#include <cstring>

#include "platform/base/LastError.h"
#include "platform/gdi/Dib.h"
#include "platform/gdi/GdiState.h"

namespace platform::gdi {
namespace {

// The description behind a BITMAPINFO: the 40-byte header, plus the three
// masks after it for a bit-field bitmap. Nothing beyond is read, whatever
// biSize says.
std::optional<DibFormat> FormatOf(const BITMAPINFO* info)
{
    if (info == nullptr)
        return std::nullopt;
    auto bytes = reinterpret_cast<const BYTE*>(info);
    std::size_t length = sizeof(BITMAPINFOHEADER);
    if (info->bmiHeader.biCompression == BI_BITFIELDS)
        length += 12;
    return ParseDibHeader(std::span(bytes, length));
}

// The pixel buffer for `lines` scan lines, refused when biSizeImage says the
// buffer is smaller.
std::optional<std::span<const BYTE>> BitsOf(const DibFormat& format, const void* bits, std::size_t lines)
{
    std::optional<std::size_t> needed = DibBytes(format, lines);
    if (bits == nullptr || !needed || (format.declaredSize != 0 && format.declaredSize < *needed))
        return std::nullopt;
    return std::span(static_cast<const BYTE*>(bits), *needed);
}

// Source rectangle in top-down rows. For a bottom-up bitmap the source y
// names the lower-left corner, counted from the bottom row.
RECT SourceRows(const DibFormat& f, int x, int y, int width, int height)
{
    std::int64_t top = f.bottomUp ? static_cast<std::int64_t>(f.height) - y - height : y;
    top = std::clamp<std::int64_t>(top, INT32_MIN / 2, INT32_MAX / 2);
    return RECT{x, static_cast<LONG>(top), static_cast<LONG>(static_cast<std::int64_t>(x) + width),
                static_cast<LONG>(top + height)};
}

bool SizeOk(std::int64_t width, std::int64_t height)
{
    return width > 0 && height > 0 && width <= 4 * kMaxSurfaceSide && height <= 4 * kMaxSurfaceSide;
}

bool Transfer(HDC dc, const RECT& dest, const DibTransfer& dib, const RECT& source)
{
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    if (context == nullptr)
        return false;
    RECT device = ToDevice(*context, dest);
    for (const RECT& clip : context->clip) {
        if (!DrawDib(*context->surface, device, dib, source, clip))
            return false;
    }
    NoteWindowDrawn(*context);
    return true;
}

}  // namespace
}  // namespace platform::gdi

using namespace platform::gdi;

int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int sourceX, int sourceY, UINT startScan,
                      UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage)
{
    std::optional<DibFormat> format = FormatOf(info);
    if (!format || usage != DIB_RGB_COLORS || !SizeOk(width, height) ||
        startScan >= static_cast<UINT>(format->height)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t lines = std::min<std::size_t>(scanLines, static_cast<std::size_t>(format->height) - startScan);
    std::optional<std::span<const BYTE>> span = BitsOf(*format, bits, lines);
    if (!span || lines == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int w = static_cast<int>(width);
    int h = static_cast<int>(height);
    RECT dest{x, y, static_cast<LONG>(static_cast<std::int64_t>(x) + w),
              static_cast<LONG>(static_cast<std::int64_t>(y) + h)};
    DibTransfer dib{*format, *span, startScan, lines};
    if (!Transfer(dc, dest, dib, SourceRows(*format, sourceX, sourceY, w, h)))
        return 0;
    return static_cast<int>(lines);
}

int StretchDIBits(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth,
                  int sourceHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop)
{
    std::optional<DibFormat> format = FormatOf(info);
    if (!format || usage != DIB_RGB_COLORS || rop != SRCCOPY || !SizeOk(width, height) ||
        !SizeOk(sourceWidth, sourceHeight)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::optional<std::span<const BYTE>> span = BitsOf(*format, bits, static_cast<std::size_t>(format->height));
    if (!span) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    RECT dest{x, y, static_cast<LONG>(static_cast<std::int64_t>(x) + width),
              static_cast<LONG>(static_cast<std::int64_t>(y) + height)};
    DibTransfer dib{*format, *span, 0, static_cast<std::size_t>(format->height)};
    if (!Transfer(dc, dest, dib, SourceRows(*format, sourceX, sourceY, sourceWidth, sourceHeight)))
        return 0;
    return height;
}

// 32 bits per pixel only: the section's bits are the bitmap's own pixels.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset)
{
    (void)dc;
    std::optional<DibFormat> format = FormatOf(info);
    if (!format || format->bitsPerPixel != 32 || usage != DIB_RGB_COLORS || section != nullptr || offset != 0 ||
        static_cast<std::size_t>(format->width) * format->height > kMaxSurfacePixels) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto storage = std::make_shared<std::vector<Pixel>>(static_cast<std::size_t>(format->width) * format->height, 0);
    Object o{Kind::Bitmap};
    o.surface = Surface::Wrap(storage, format->width, format->height, format->bottomUp);
    if (!o.surface)
        return nullptr;
    if (bits != nullptr)
        *bits = storage->data();
    std::lock_guard guard(Gdi().lock);
    return static_cast<HBITMAP>(AddObjectLocked(o));
}

HICON CreateIconIndirect(const ICONINFO* info)
{
    if (info == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard guard(Gdi().lock);
    Object* color = FindObjectLocked(info->hbmColor, Kind::Bitmap);
    Object* mask = info->hbmMask != nullptr ? FindObjectLocked(info->hbmMask, Kind::Bitmap) : nullptr;
    if (color == nullptr || (info->hbmMask != nullptr && mask == nullptr))
        return nullptr;
    const Surface& pixels = *color->surface;
    Object icon{Kind::Icon};
    icon.icon = Surface::Create(pixels.Width(), pixels.Height());
    bool anyAlpha = false;
    for (int y = 0; y < pixels.Height() && !anyAlpha; ++y) {
        for (int x = 0; x < pixels.Width(); ++x)
            anyAlpha = anyAlpha || (pixels.Row(y)[x] >> 24) != 0;
    }
    for (int y = 0; y < pixels.Height(); ++y) {
        for (int x = 0; x < pixels.Width(); ++x) {
            Pixel p = pixels.Row(y)[x];
            Pixel alpha = anyAlpha ? p >> 24 : 0xFF;
            if (mask != nullptr)
                alpha = y < mask->surface->Height() && x < mask->surface->Width() &&
                                (mask->surface->Row(y)[x] & 0xFFFFFF) != 0
                            ? 0
                            : 0xFF;
            icon.icon->Row(y)[x] = (alpha << 24) | (p & 0xFFFFFF);
        }
    }
    return static_cast<HICON>(AddObjectLocked(icon));
}

BOOL DestroyIcon(HICON icon)
{
    std::lock_guard guard(Gdi().lock);
    if (FindObjectLocked(icon, Kind::Icon) == nullptr)
        return FALSE;
    Gdi().objects.erase(reinterpret_cast<std::uintptr_t>(icon));
    return TRUE;
}

// A width or height of 0 draws the icon at its own size.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH flickerFree, UINT flags)
{
    (void)step;
    (void)flickerFree;
    std::lock_guard guard(Gdi().lock);
    DeviceContext* context = FindDcLocked(dc);
    Object* o = FindObjectLocked(icon, Kind::Icon);
    if (context == nullptr || o == nullptr || (flags & DI_NORMAL) == 0 || width < 0 || height < 0 ||
        width > kMaxSurfaceSide || height > kMaxSurfaceSide)
        return FALSE;
    const Surface& pixels = *o->icon;
    RECT dest =
        ToDevice(*context, Sized(x, y, width != 0 ? width : pixels.Width(), height != 0 ? height : pixels.Height()));
    for (const RECT& clip : context->clip)
        context->surface->BlendArgb(dest, pixels, pixels.Bounds(), clip);
    NoteWindowDrawn(*context);
    return TRUE;
}
