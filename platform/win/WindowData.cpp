// Window data: window longs, text, class name, visibility, rectangles and
// the foreground window.
#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/base/LastError.h"
#include "platform/base/WideString.h"
#include "platform/display/Display.h"
#include "platform/gdi/GdiState.h"
#include "platform/win/WindowState.h"

namespace platform::win {
namespace {

// Slot of a window long; null (and ERROR_INVALID_PARAMETER) for an unknown
// index. Non-negative indices address the class's cbWndExtra bytes and must
// hold a whole LONG_PTR.
LONG_PTR ReadLongLocked(WindowRecord& record, int index, bool* ok)
{
    *ok = true;
    switch (index) {
    case GWL_WNDPROC:
        return reinterpret_cast<LONG_PTR>(record.procedure);
    case GWL_ID:
        return record.id;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(record.style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(record.exStyle);
    case GWL_USERDATA:
        return record.userData;
    default:
        break;
    }
    if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= record.extra.size()) {
        LONG_PTR value = 0;
        std::memcpy(&value, record.extra.data() + index, sizeof value);
        return value;
    }
    *ok = false;
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

void WriteLongLocked(WindowRecord& record, int index, LONG_PTR value)
{
    switch (index) {
    case GWL_WNDPROC:
        // A destroyed window keeps its null procedure.
        if (!record.destroying)
            record.procedure = reinterpret_cast<WNDPROC>(value);
        return;
    case GWL_ID:
        record.id = value;
        return;
    case GWL_STYLE:
        record.style = static_cast<DWORD>(value);
        return;
    case GWL_EXSTYLE:
        record.exStyle = static_cast<DWORD>(value);
        return;
    case GWL_USERDATA:
        record.userData = value;
        return;
    default:
        std::memcpy(record.extra.data() + index, &value, sizeof value);
        return;
    }
}

RECT ScreenRectLocked(const WindowRecord& record)
{
    RECT rect = record.rect;
    HWND parent = (record.style & WS_CHILD) != 0 ? record.parent : nullptr;
    for (std::size_t steps = 0; parent != nullptr && steps < State().windows.size(); ++steps) {
        auto it = State().windows.find(HandleValue(parent));
        if (it == State().windows.end())
            break;
        rect.left += it->second->rect.left;
        rect.right += it->second->rect.left;
        rect.top += it->second->rect.top;
        rect.bottom += it->second->rect.top;
        parent = (it->second->style & WS_CHILD) != 0 ? it->second->parent : nullptr;
    }
    return rect;
}

}  // namespace

// A window shown or hidden: top-level windows enter or leave the z-order; a
// shown window is painted whole; a hidden child leaves its area in the parent
// to be painted again.
void ShowChangedLocked(WindowRecord& record, bool show)
{
    if (record.IsTopLevel()) {
        if (show)
            RaiseLocked(record.handle);
        else
            DropFromZOrderLocked(record.handle);
        platform::gdi::NoteScreenChanged();
    }
    if (show) {
        InvalidateLocked(record, nullptr, true);
        return;
    }
    if (WindowRecord* parent = record.IsTopLevel() ? nullptr : FindRecordLocked(record.parent))
        InvalidateLocked(*parent, &record.rect, true);
}

void MovedLocked(WindowRecord& record, const RECT& before, bool repaint)
{
    if (record.IsTopLevel())
        platform::gdi::NoteScreenChanged();
    if (!repaint || (record.style & WS_VISIBLE) == 0)
        return;
    InvalidateLocked(record, nullptr, true);
    if (WindowRecord* parent = record.IsTopLevel() ? nullptr : FindRecordLocked(record.parent))
        InvalidateLocked(*parent, &before, true);
}

bool ActivateLocal(HWND window, RealClock::time_point deadline)
{
    HWND previous = nullptr;
    {
        std::lock_guard guard(State().lock);
        if (FindRecordLocked(window) == nullptr)
            return false;
        previous = std::exchange(State().foreground, window);
        if (FindRecordLocked(window)->IsTopLevel() && (FindRecordLocked(window)->style & WS_VISIBLE) != 0)
            RaiseLocked(window);
    }
    platform::gdi::NoteScreenChanged();
    LRESULT ignored = 0;
    if (previous != nullptr && previous != window)
        SendLocal(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window), deadline, &ignored);
    SendLocal(window, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous), deadline, &ignored);
    return true;
}

}  // namespace platform::win

LONG_PTR GetWindowLongW(HWND window, int index)
{
    using namespace platform::win;
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    bool ok = false;
    return record != nullptr ? ReadLongLocked(*record, index, &ok) : 0;
}

LONG_PTR SetWindowLongW(HWND window, int index, LONG_PTR value)
{
    using namespace platform::win;
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    if (record == nullptr)
        return 0;
    bool ok = false;
    SetLastError(ERROR_SUCCESS);
    LONG_PTR previous = ReadLongLocked(*record, index, &ok);
    if (ok)
        WriteLongLocked(*record, index, value);
    return previous;
}

// Text goes through WM_SETTEXT / WM_GETTEXT so that a control may keep its
// own text; DefWindowProcW stores it in the window record.
BOOL SetWindowTextW(HWND window, LPCWSTR text)
{
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    BOOL done = SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0 ? TRUE : FALSE;
    platform::gdi::NoteScreenChanged();  // the title strip shows it
    return done;
}

int GetWindowTextW(HWND window, LPWSTR buffer, int size)
{
    if (buffer == nullptr || size <= 0)
        return 0;
    buffer[0] = 0;
    return static_cast<int>(
        SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND window) { return static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)); }

int GetClassNameW(HWND window, LPWSTR buffer, int size)
{
    using namespace platform::win;
    if (buffer == nullptr || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    if (record == nullptr || !record->windowClass)
        return 0;
    const WideString& name = record->windowClass->name;
    std::size_t count = std::min<std::size_t>(name.size(), static_cast<std::size_t>(size) - 1);
    name.copy(buffer, count);
    buffer[count] = 0;
    return static_cast<int>(count);
}

// Returns whether the window was visible before. WM_SHOWWINDOW is sent when
// the state changes.
BOOL ShowWindow(HWND window, int command)
{
    using namespace platform::win;
    bool wasVisible = false;
    bool topLevel = false;
    bool show = command != SW_HIDE;
    {
        std::lock_guard guard(State().lock);
        WindowRecord* record = FindRecordLocked(window);
        if (record == nullptr || record->destroying)
            return FALSE;
        wasVisible = (record->style & WS_VISIBLE) != 0;
        topLevel = record->IsTopLevel();
        if (show)
            record->style |= WS_VISIBLE;
        else
            record->style &= ~WS_VISIBLE;
        if (wasVisible != show)
            ShowChangedLocked(*record, show);
    }
    // The first top-level window shown brings up the screen.
    if (show && topLevel)
        platform::display::EnsureStarted();
    if (wasVisible != show)
        SendMessageW(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    return wasVisible ? TRUE : FALSE;
}

// Visible when the window and every parent have WS_VISIBLE.
BOOL IsWindowVisible(HWND window)
{
    using namespace platform::win;
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    for (std::size_t steps = 0; record != nullptr && steps <= State().windows.size(); ++steps) {
        if ((record->style & WS_VISIBLE) == 0)
            return FALSE;
        if ((record->style & WS_CHILD) == 0 || record->parent == nullptr)
            return TRUE;
        auto it = State().windows.find(HandleValue(record->parent));
        record = it != State().windows.end() ? it->second.get() : nullptr;
    }
    return FALSE;
}

BOOL GetWindowRect(HWND window, RECT* rect)
{
    using namespace platform::win;
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    if (record == nullptr || rect == nullptr)
        return FALSE;
    *rect = ScreenRectLocked(*record);
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    using namespace platform::win;
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    if (record == nullptr || rect == nullptr)
        return FALSE;
    *rect = RECT{0, 0, record->rect.right - record->rect.left, record->rect.bottom - record->rect.top};
    return TRUE;
}

// Sends WM_MOVE and WM_SIZE (client size) when position or size change.
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    using namespace platform::win;
    RECT before{};
    {
        std::lock_guard guard(State().lock);
        WindowRecord* record = FindRecordLocked(window);
        if (record == nullptr)
            return FALSE;
        before = record->rect;
        width = static_cast<int>(std::clamp<std::int64_t>(width, 0, INT32_MAX - static_cast<std::int64_t>(x)));
        height = static_cast<int>(std::clamp<std::int64_t>(height, 0, INT32_MAX - static_cast<std::int64_t>(y)));
        record->rect = RECT{x, y, x + width, y + height};
        MovedLocked(*record, before, repaint != FALSE);
    }
    if (before.left != x || before.top != y)
        SendMessageW(window, WM_MOVE, 0, MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y)));
    if (before.right - before.left != width || before.bottom - before.top != height)
        SendMessageW(window, WM_SIZE, 0, MAKELONG(static_cast<WORD>(width), static_cast<WORD>(height)));
    return TRUE;
}

BOOL SetForegroundWindow(HWND window)
{
    using namespace platform::win;
    // The lowest bit is the device's "also bring owned pop-ups forward" form.
    auto target = reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(window) & ~std::uintptr_t{1});
    if (IsRemoteHandle(target))
        return RemoteSetForeground(target);
    return ActivateLocal(target, platform::RealClock::time_point::max()) ? TRUE : FALSE;
}

HWND GetForegroundWindow()
{
    using namespace platform::win;
    std::lock_guard guard(State().lock);
    return State().foreground;
}
