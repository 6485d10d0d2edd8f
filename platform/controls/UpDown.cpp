// The msctls_updown32 class: a spinner. With a list box as its buddy it makes
// the list box show one line with arrows at its ends and Left/Right step the
// list's selection (the list box notifies its parent); with any other buddy
// it keeps a position within its range and, with UDS_SETBUDDYINT, writes it
// into the buddy's text.
#include <algorithm>
#include <memory>
#include <string>

#include "platform/controls/ListBoxState.h"
#include "platform/controls/Look.h"
#include "platform/controls/Procedures.h"
#include "platform/display/Display.h"

namespace platform::controls {
namespace {

struct UpDownState : ControlState {
    static constexpr Kind kKind = Kind::UpDown;
    UpDownState() : ControlState(kKind) {}
    HWND buddy = nullptr;
    bool listBuddy = false;
    int lower = 0;
    int upper = 100;
    int pos = 0;
};

HWND LiveBuddy(const UpDownState& s) { return s.buddy != nullptr && IsWindow(s.buddy) ? s.buddy : nullptr; }

int Clamped(const UpDownState& s, int value)
{
    return std::clamp(value, std::min(s.lower, s.upper), std::max(s.lower, s.upper));
}

LRESULT SetBuddy(HWND window, UpDownState& s, HWND buddy)
{
    HWND previous = s.buddy;
    if (previous != nullptr && s.listBuddy)
        ClearSpinnerOf(previous, window);
    s.buddy = buddy;
    s.listBuddy = buddy != nullptr && SetSpinnerOf(buddy, window);
    InvalidateRect(window, nullptr, FALSE);
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT GetPos(UpDownState& s)
{
    HWND buddy = LiveBuddy(s);
    if (buddy != nullptr && s.listBuddy) {
        LRESULT current = SendMessageW(buddy, LB_GETCURSEL, 0, 0);
        if (current >= 0)
            s.pos = static_cast<int>(current);
    }
    return MAKELONG(static_cast<WORD>(s.pos), 0);
}

LRESULT SetPos(UpDownState& s, int value)
{
    int previous = s.pos;
    s.pos = Clamped(s, value);
    HWND buddy = LiveBuddy(s);
    if (buddy != nullptr && s.listBuddy)
        SendMessageW(buddy, LB_SETCURSEL, static_cast<WPARAM>(s.pos), 0);
    return previous;
}

// Left/Right on the spinner itself.
void Step(HWND window, UpDownState& s, WPARAM key, LPARAM keyData)
{
    HWND buddy = LiveBuddy(s);
    if (buddy != nullptr && s.listBuddy) {
        SendMessageW(buddy, WM_KEYDOWN, key, keyData);
        return;
    }
    int low = std::min(s.lower, s.upper);
    int high = std::max(s.lower, s.upper);
    int next = s.pos + (key == display::VK_RIGHT_KEY ? 1 : -1);
    if (next < low || next > high)
        next = (StyleOf(window) & UDS_WRAP) != 0 ? (next < low ? high : low) : Clamped(s, next);
    s.pos = next;
    if (buddy != nullptr && (StyleOf(window) & UDS_SETBUDDYINT) != 0) {
        std::string digits = std::to_string(s.pos);
        SetWindowTextW(buddy, WideString(digits.begin(), digits.end()).c_str());
    }
}

void Paint(HWND window, const UpDownState& s)
{
    PaintScope paint(window, s, kBackground);
    HDC dc = paint.Dc();
    if (dc == nullptr)
        return;
    RECT client = paint.Client();
    if (s.listBuddy && LiveBuddy(s) != nullptr)
        return;  // the list box draws the arrows
    COLORREF color = HasFocus(window) ? kFocusBorder : kBorder;
    int middle = (client.left + client.right) / 2;
    Arrow(dc, RECT{client.left, client.top, middle, client.bottom}, false, color);
    Arrow(dc, RECT{middle, client.top, client.right, client.bottom}, true, color);
}

LRESULT DialogCode(const MSG* message)
{
    if (message != nullptr && message->message == WM_KEYDOWN &&
        (message->wParam == display::VK_LEFT_KEY || message->wParam == display::VK_RIGHT_KEY))
        return DLGC_WANTARROWS | DLGC_WANTMESSAGE;
    return 0;
}

LRESULT Message(HWND window, UpDownState& s, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(window, s);
        return 0;
    case WM_DESTROY:
        if (s.listBuddy && s.buddy != nullptr)
            ClearSpinnerOf(s.buddy, window);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, FALSE);
        if (HWND buddy = LiveBuddy(s))
            InvalidateRect(buddy, nullptr, FALSE);
        return 0;
    case WM_KEYDOWN:
        if ((wParam == display::VK_LEFT_KEY || wParam == display::VK_RIGHT_KEY) && IsWindowEnabled(window))
            Step(window, s, wParam, lParam);
        return 0;
    case WM_GETDLGCODE:
        return DialogCode(reinterpret_cast<const MSG*>(lParam));
    case UDM_SETBUDDY:
        return SetBuddy(window, s, reinterpret_cast<HWND>(wParam));
    case UDM_GETBUDDY:
        return reinterpret_cast<LRESULT>(LiveBuddy(s));
    case UDM_SETRANGE:
        s.upper = static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam)));
        s.lower = static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lParam)));
        s.pos = Clamped(s, s.pos);
        return 0;
    case UDM_GETRANGE:
        return MAKELONG(static_cast<WORD>(s.upper), static_cast<WORD>(s.lower));
    case UDM_SETPOS:
        return SetPos(s, static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam))));
    case UDM_GETPOS:
        return GetPos(s);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

LRESULT UpDownProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ControlProcedure<UpDownState, Message>(window, message, wParam, lParam);
}

}  // namespace platform::controls
