// Update regions and painting: InvalidateRect, ValidateRect, GetUpdateRect,
// BeginPaint/EndPaint, GetDC/ReleaseDC, UpdateWindow, and the choice of the
// window that receives the next WM_PAINT.
//
// A window's update region is kept as its bounding rectangle. Every
// top-level window draws into a surface of its own that keeps its pixels;
// the display shows the surfaces in z-order, so covering and uncovering a
// window needs no repaint.
#include <algorithm>
#include <string>
#include <utility>

#include "platform/base/LastError.h"
#include "platform/base/TimingLog.h"
#include "platform/base/WideString.h"
#include "platform/gdi/GdiState.h"
#include "platform/win/WindowState.h"

namespace platform::win {
namespace {

RECT ClientRect(const WindowRecord& record)
{
    return RECT{0, 0, record.rect.right - record.rect.left, record.rect.bottom - record.rect.top};
}

RECT Union(const RECT& a, const RECT& b)
{
    if (gdi::IsEmpty(a))
        return b;
    if (gdi::IsEmpty(b))
        return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

WindowRecord* RecordLocked(HWND window)
{
    auto it = State().windows.find(HandleValue(window));
    return it != State().windows.end() ? it->second.get() : nullptr;
}

bool ShownLocked(const WindowRecord& record)
{
    const WindowRecord* r = &record;
    for (std::size_t steps = 0; r != nullptr && steps <= State().windows.size(); ++steps) {
        if ((r->style & WS_VISIBLE) == 0 || r->destroying)
            return false;
        if (r->IsTopLevel())
            return true;
        r = RecordLocked(r->parent);
    }
    return false;
}

int DepthLocked(const WindowRecord& record)
{
    int depth = 0;
    const WindowRecord* r = &record;
    while (r != nullptr && !r->IsTopLevel() && depth <= static_cast<int>(State().windows.size())) {
        r = RecordLocked(r->parent);
        ++depth;
    }
    return depth;
}

// Where a window's client area lies on its top-level window's surface, and
// what of it can be drawn.
struct DcGeometry {
    HWND topLevel = nullptr;
    int topWidth = 0;
    int topHeight = 0;
    POINT origin{};
    std::vector<RECT> clip;
};

bool GeometryLocked(WindowRecord& record, DcGeometry* g)
{
    RECT visible = ClientRect(record);
    POINT origin{};
    WindowRecord* r = &record;
    for (std::size_t steps = 0; !r->IsTopLevel(); ++steps) {
        WindowRecord* parent = RecordLocked(r->parent);
        if (parent == nullptr || steps > State().windows.size())
            return false;
        // A hidden child, or a child of a hidden child, draws nowhere.
        if ((r->style & WS_VISIBLE) == 0)
            visible = RECT{};
        origin.x += r->rect.left;
        origin.y += r->rect.top;
        visible = gdi::Offset(visible, r->rect.left, r->rect.top);
        visible = gdi::Intersect(visible, ClientRect(*parent));
        r = parent;
    }
    g->topLevel = r->handle;
    g->topWidth = r->rect.right - r->rect.left;
    g->topHeight = r->rect.bottom - r->rect.top;
    g->origin = origin;
    g->clip.clear();
    if (!gdi::IsEmpty(visible))
        g->clip.push_back(visible);
    if ((record.style & WS_CLIPCHILDREN) == 0)
        return true;
    // Leave the visible children out, piece by piece.
    for (HWND child : record.children) {
        WindowRecord* c = RecordLocked(child);
        if (c == nullptr || c->IsTopLevel() || (c->style & WS_VISIBLE) == 0)
            continue;
        RECT cut = gdi::Offset(c->rect, origin.x, origin.y);
        std::vector<RECT> next;
        for (const RECT& piece : g->clip)
            gdi::Subtract(piece, cut, next);
        g->clip = std::move(next);
    }
    return true;
}

void WakeOwnerLocked(const WindowRecord& record)
{
    if (auto queue = QueueLocked(record.threadId))
        queue->wake.notify_all();
}

}  // namespace

void InvalidateLocked(WindowRecord& record, const RECT* rect, bool erase)
{
    RECT area = rect != nullptr ? gdi::Intersect(*rect, ClientRect(record)) : ClientRect(record);
    if (gdi::IsEmpty(area))
        return;
    record.invalid = Union(record.invalid, area);
    record.erasePending = record.erasePending || erase;
    WakeOwnerLocked(record);
    if ((record.style & WS_CLIPCHILDREN) != 0)
        return;
    for (HWND child : record.children) {
        WindowRecord* c = RecordLocked(child);
        if (c == nullptr || c->IsTopLevel() || (c->style & WS_VISIBLE) == 0)
            continue;
        RECT inChild = gdi::Offset(gdi::Intersect(area, c->rect), -c->rect.left, -c->rect.top);
        if (!gdi::IsEmpty(gdi::Intersect(area, c->rect)))
            InvalidateLocked(*c, &inChild, erase);
    }
}

HWND PaintCandidateLocked(const ThreadQueue& queue, HWND filter)
{
    HWND best = nullptr;
    int bestDepth = 0;
    std::uint64_t bestValue = 0;
    for (auto& [value, record] : State().windows) {
        if (record->threadId != queue.threadId || gdi::IsEmpty(record->invalid) || record->procedure == nullptr ||
            !ShownLocked(*record))
            continue;
        if (filter != nullptr && !IsDescendantLocked(record->handle, filter))
            continue;
        int depth = DepthLocked(*record);
        if (best == nullptr || depth < bestDepth || (depth == bestDepth && value < bestValue)) {
            best = record->handle;
            bestDepth = depth;
            bestValue = value;
        }
    }
    return best;
}

void RaiseLocked(HWND window)
{
    std::vector<HWND>& z = State().zOrder;
    std::erase(z, window);
    z.push_back(window);
    // Owned pop-ups stay above their owner.
    std::vector<HWND> owned;
    for (HWND other : z) {
        WindowRecord* r = RecordLocked(other);
        if (r != nullptr && other != window && r->parent == window)
            owned.push_back(other);
    }
    for (HWND popup : owned) {
        std::erase(z, popup);
        z.push_back(popup);
    }
}

void DropFromZOrderLocked(HWND window)
{
    if (std::erase(State().zOrder, window) > 0)
        platform::gdi::NoteScreenChanged();
}

}  // namespace platform::win

using namespace platform::win;

// A null window invalidates every top-level window of the process.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase)
{
    std::lock_guard guard(State().lock);
    if (window == nullptr) {
        for (auto& [value, record] : State().windows) {
            if (record->IsTopLevel())
                InvalidateLocked(*record, rect, erase != FALSE);
        }
        return TRUE;
    }
    WindowRecord* record = FindRecordLocked(window);
    if (record == nullptr)
        return FALSE;
    InvalidateLocked(*record, rect, erase != FALSE);
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect)
{
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    if (record == nullptr)
        return FALSE;
    // A rectangle that does not cover the whole update region leaves it (the
    // region is only a bounding rectangle).
    if (rect == nullptr || platform::gdi::Contains(*rect, record->invalid)) {
        record->invalid = RECT{};
        record->erasePending = false;
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND window, RECT* rect, BOOL erase)
{
    (void)erase;
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    if (record == nullptr)
        return FALSE;
    if (rect != nullptr)
        *rect = record->invalid;
    return platform::gdi::IsEmpty(record->invalid) ? FALSE : TRUE;
}

// GetDC(null) gives a context for measuring and for making compatible
// objects; it draws nowhere.
HDC GetDC(HWND window)
{
    if (window == nullptr)
        return CreateCompatibleDC(nullptr);
    DcGeometry g;
    {
        std::lock_guard guard(State().lock);
        WindowRecord* record = FindRecordLocked(window);
        if (record == nullptr || !GeometryLocked(*record, &g))
            return nullptr;
    }
    return platform::gdi::MakeWindowDc(window, g.topLevel, g.topWidth, g.topHeight, g.origin, std::move(g.clip));
}

int ReleaseDC(HWND window, HDC dc)
{
    (void)window;
    return DeleteDC(dc);
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint)
{
    if (paint == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    RECT invalid{};
    bool erase = false;
    {
        std::lock_guard guard(State().lock);
        WindowRecord* record = FindRecordLocked(window);
        if (record == nullptr)
            return nullptr;
        invalid = std::exchange(record->invalid, RECT{});
        erase = std::exchange(record->erasePending, false);
    }
    HDC dc = GetDC(window);
    if (dc == nullptr)
        return nullptr;
    IntersectClipRect(dc, invalid.left, invalid.top, invalid.right, invalid.bottom);
    platform::gdi::ForgetWindowText(dc, invalid);
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    paint->rcPaint = invalid;
    paint->fErase = erase && SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0 ? TRUE : FALSE;
    return dc;
}

namespace {

// The class of `window` as UTF-8, for the timing log.
std::string ClassOf(HWND window)
{
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    return record != nullptr && record->windowClass ? platform::WideToUtf8(record->windowClass->name) : std::string();
}

}  // namespace

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint)
{
    if (paint == nullptr)
        return FALSE;
    ReleaseDC(window, paint->hdc);
    if (platform::TimingLogEnabled())
        platform::LogTiming("paint", ClassOf(window));
    return TRUE;
}

// Sends WM_PAINT at once when the window has something to paint.
BOOL UpdateWindow(HWND window)
{
    bool paint = false;
    {
        std::lock_guard guard(State().lock);
        WindowRecord* record = FindRecordLocked(window);
        if (record == nullptr)
            return FALSE;
        paint = !platform::gdi::IsEmpty(record->invalid) && ShownLocked(*record);
    }
    if (paint)
        CallProcedure(window, WM_PAINT, 0, 0);
    return TRUE;
}
