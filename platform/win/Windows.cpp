// Window creation, destruction and default processing.
#include <algorithm>
#include <utility>

#include "platform/base/LastError.h"
#include "platform/base/WideString.h"
#include "platform/display/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/sync/Sync.h"
#include "platform/win/Controls.h"
#include "platform/win/WindowState.h"

constexpr DWORD ERROR_TLW_WITH_WSCHILD = 1406;

namespace platform::win {
namespace {

RECT g_workArea{0, 0, 176, 220};  // guarded by WinState::lock

// CW_USEDEFAULT places a top-level window on the work area; a child gets 0.
RECT InitialRect(bool child, int x, int y, int width, int height)
{
    RECT area = child ? RECT{} : g_workArea;
    if (x == CW_USEDEFAULT || y == CW_USEDEFAULT) {
        x = area.left;
        y = area.top;
    }
    if (width == CW_USEDEFAULT || height == CW_USEDEFAULT) {
        width = area.right - area.left;
        height = area.bottom - area.top;
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
    return RECT{x, y, static_cast<LONG>(static_cast<std::int64_t>(x) + width > INT32_MAX ? INT32_MAX : x + width),
                static_cast<LONG>(static_cast<std::int64_t>(y) + height > INT32_MAX ? INT32_MAX : y + height)};
}

struct CreateRequest {
    DWORD exStyle;
    LPCWSTR className;
    LPCWSTR windowName;
    DWORD style;
    int x, y, width, height;
    HWND parent;
    HMENU menu;
    HINSTANCE instance;
};

// Adds the record to the tables; null (and the error) when the class or the
// parent is not usable.
HWND AddWindowLocked(const CreateRequest& r)
{
    WinState& state = State();
    std::shared_ptr<ClassRecord> windowClass = FindClassLocked(r.className);
    if (!windowClass) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    bool child = (r.style & WS_CHILD) != 0;
    WindowRecord* parent = nullptr;
    if (r.parent != nullptr && (IsRemoteHandle(r.parent) || (parent = FindRecordLocked(r.parent)) == nullptr)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (child && parent == nullptr) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    auto record = std::make_shared<WindowRecord>();
    record->handle = MakeHandle(state.nextSerial++);
    record->threadId = GetCurrentThreadId();
    record->windowClass = windowClass;
    record->procedure = windowClass->info.lpfnWndProc;
    record->instance = r.instance;
    record->parent = r.parent;
    record->style = r.style & ~WS_VISIBLE;
    record->exStyle = r.exStyle;
    record->id = child ? static_cast<LONG_PTR>(reinterpret_cast<std::intptr_t>(r.menu)) : 0;
    record->extra.assign(static_cast<std::size_t>(windowClass->info.cbWndExtra), 0);
    record->text = WideString(r.windowName != nullptr ? r.windowName : u"", WideLength(r.windowName));
    record->rect = InitialRect(child, r.x, r.y, r.width, r.height);
    ++windowClass->windowCount;
    if (parent != nullptr)
        parent->children.push_back(record->handle);
    if (record->IsTopLevel())
        ++state.topLevelCount;
    state.windows[HandleValue(record->handle)] = record;
    CurrentQueueLocked();
    return record->handle;
}

// The destruction checklist. Descendants are destroyed whatever thread owns
// them; a window already being destroyed is left to the call in progress.
void DestroyTree(HWND window)
{
    WinState& state = State();
    std::shared_ptr<WindowRecord> record;
    {
        std::lock_guard guard(state.lock);
        auto it = state.windows.find(HandleValue(window));
        if (it == state.windows.end() || it->second->destroying)
            return;
        record = it->second;
        record->destroying = true;
        // A visible child leaves its area in the parent to be painted again.
        if ((record->style & (WS_VISIBLE | WS_CHILD)) == (WS_VISIBLE | WS_CHILD)) {
            auto parent = state.windows.find(HandleValue(record->parent));
            if (parent != state.windows.end())
                InvalidateLocked(*parent->second, &record->rect, true);
        }
        record->style &= ~WS_VISIBLE;
        if (state.foreground == window)
            state.foreground = nullptr;
    }
    CallProcedure(window, WM_DESTROY, 0, 0);
    std::vector<HWND> children;
    {
        std::lock_guard guard(state.lock);
        children = record->children;
    }
    for (HWND child : children)
        DestroyTree(child);
    WNDPROC procedure = nullptr;
    {
        std::lock_guard guard(state.lock);
        if (auto queue = QueueLocked(record->threadId)) {
            DropTimersLocked(*queue, window);
            PurgeWindowMessagesLocked(*queue, window);
        }
        procedure = std::exchange(record->procedure, nullptr);
    }
    if (procedure != nullptr)
        procedure(window, WM_NCDESTROY, 0, 0);
    bool topLevel = false;
    {
        std::lock_guard guard(state.lock);
        if (state.windows.contains(HandleValue(window))) {
            topLevel = record->IsTopLevel();
            ForgetWindowLocked(*record);
        }
    }
    if (topLevel)
        SyncListener();
}

// Fills the client area with the class background brush; 0 when the class
// has none.
LRESULT EraseBackground(HWND window, HDC dc)
{
    void* brush = nullptr;
    RECT client{};
    {
        std::lock_guard guard(State().lock);
        WindowRecord* record = FindRecordLocked(window);
        if (record == nullptr || !record->windowClass)
            return 0;
        brush = record->windowClass->info.hbrBackground;
        client = RECT{0, 0, record->rect.right - record->rect.left, record->rect.bottom - record->rect.top};
    }
    if (brush == nullptr)
        return 0;
    return FillRect(dc, &client, static_cast<HBRUSH>(brush)) != 0 ? 1 : 0;
}

bool IsDescendant(HWND window, HWND ancestor)
{
    std::lock_guard guard(State().lock);
    return IsDescendantLocked(window, ancestor);
}

}  // namespace
}  // namespace platform::win

void platform::SetWorkArea(const RECT& area)
{
    std::lock_guard guard(win::State().lock);
    win::g_workArea = area;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* parameter)
{
    using namespace platform::win;
    platform::RegisterStandardControls();
    // CW_USEDEFAULT gives the screen's work area.
    if ((style & WS_CHILD) == 0)
        platform::display::EnsureWorkArea();
    HWND window = nullptr;
    {
        std::lock_guard guard(State().lock);
        window = AddWindowLocked({exStyle, className, windowName, style, x, y, width, height, parent, menu, instance});
    }
    if (window == nullptr)
        return nullptr;
    if ((style & WS_CHILD) == 0)
        SyncListener();
    CREATESTRUCTW create;
    create.lpCreateParams = parameter;
    create.hInstance = instance;
    create.hMenu = menu;
    create.hwndParent = parent;
    create.cy = height;
    create.cx = width;
    create.y = y;
    create.x = x;
    create.style = static_cast<LONG>(style);
    create.lpszName = windowName;
    create.lpszClass = className;
    create.dwExStyle = exStyle;
    LPARAM lParam = reinterpret_cast<LPARAM>(&create);
    if (!CallProcedure(window, WM_NCCREATE, 0, lParam) || CallProcedure(window, WM_CREATE, 0, lParam) == -1 ||
        !IsWindow(window)) {
        DestroyTree(window);
        return nullptr;
    }
    if ((style & WS_VISIBLE) != 0)
        ShowWindow(window, SW_SHOW);
    return window;
}

BOOL DestroyWindow(HWND window)
{
    using namespace platform::win;
    {
        std::lock_guard guard(State().lock);
        WindowRecord* record = FindRecordLocked(window);
        if (record == nullptr)
            return FALSE;
        if (record->threadId != GetCurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
    }
    DestroyTree(window);
    return TRUE;
}

BOOL IsWindow(HWND window)
{
    using namespace platform::win;
    if (IsRemoteHandle(window))
        return RemoteIsWindow(window);
    std::lock_guard guard(State().lock);
    return State().windows.contains(HandleValue(window)) && window != nullptr ? TRUE : FALSE;
}

HWND GetParent(HWND window)
{
    using namespace platform::win;
    std::lock_guard guard(State().lock);
    WindowRecord* record = FindRecordLocked(window);
    return record != nullptr ? record->parent : nullptr;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    using namespace platform::win;
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        if (BeginPaint(window, &paint) != nullptr)
            EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return EraseBackground(window, reinterpret_cast<HDC>(wParam));
    case WM_ACTIVATE: {
        // An activated window takes the focus unless one of its own windows has it.
        HWND focus = GetFocus();
        if (LOWORD(wParam) != WA_INACTIVE && (focus == nullptr || !IsDescendant(focus, window)))
            SetFocus(window);
        return 0;
    }
    case WM_SETTEXT: {
        auto text = reinterpret_cast<LPCWSTR>(lParam);
        std::lock_guard guard(State().lock);
        WindowRecord* record = FindRecordLocked(window);
        if (record == nullptr)
            return FALSE;
        record->text.assign(text != nullptr ? text : u"", platform::WideLength(text));
        return TRUE;
    }
    case WM_GETTEXT: {
        auto buffer = reinterpret_cast<LPWSTR>(lParam);
        std::lock_guard guard(State().lock);
        WindowRecord* record = FindRecordLocked(window);
        if (record == nullptr || buffer == nullptr || wParam == 0)
            return 0;
        std::size_t count = std::min<std::size_t>(record->text.size(), wParam - 1);
        record->text.copy(buffer, count);
        buffer[count] = 0;
        return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH: {
        std::lock_guard guard(State().lock);
        WindowRecord* record = FindRecordLocked(window);
        return record != nullptr ? static_cast<LRESULT>(record->text.size()) : 0;
    }
    default:
        return 0;
    }
}

LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return procedure != nullptr ? procedure(window, message, wParam, lParam) : 0;
}
