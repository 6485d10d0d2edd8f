// Keyboard focus: one focus window per process (the device has one screen
// and one input queue per program). WM_KILLFOCUS goes to the window losing
// it, then WM_SETFOCUS to the window getting it.
#include "platform/base/LastError.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/WindowState.h"

using namespace platform::win;

HWND SetFocus(HWND window)
{
    HWND previous = nullptr;
    {
        std::lock_guard guard(State().lock);
        if (window != nullptr) {
            WindowRecord* record = FindRecordLocked(window);
            if (record == nullptr || record->destroying)
                return nullptr;
        }
        previous = State().focus;
        if (previous == window)
            return previous;
        State().focus = window;
    }
    if (previous != nullptr)
        SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window != nullptr)
        SendMessageW(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND GetFocus()
{
    std::lock_guard guard(State().lock);
    return State().focus;
}
