// Default processing of dialog windows and the dialog's key handling.
#include "platform/dialog/DialogState.h"
#include "platform/display/Display.h"
#include "platform/win/Controls.h"

namespace platform::dialog {
namespace {

using platform::display::VK_BACK_KEY;
using platform::display::VK_DOWN_KEY;
using platform::display::VK_UP_KEY;

// Up/Down and Back for a key that reached `control` (or the dialog itself
// when control is null); true when the dialog used it up.
bool HandleDialogKey(HWND dialog, HWND control, MSG* message)
{
    auto key = static_cast<UINT>(message->wParam);
    if (key != VK_UP_KEY && key != VK_DOWN_KEY && key != VK_BACK_KEY)
        return false;
    LRESULT code = control != nullptr
                       ? SendMessageW(control, WM_GETDLGCODE, message->wParam, reinterpret_cast<LPARAM>(message))
                       : 0;
    if ((code & DLGC_WANTALLKEYS) != 0)
        return false;
    if (key == VK_BACK_KEY) {
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    }
    if ((code & DLGC_WANTARROWS) != 0)
        return false;
    HWND next = NextTabStop(dialog, control, key == VK_DOWN_KEY);
    if (next != nullptr && next != control) {
        SetFocus(next);
        ScrollIntoView(dialog, next);
    }
    return true;
}

LRESULT EraseWhite(HWND dialog, HDC dc)
{
    RECT client{};
    GetClientRect(dialog, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return 1;
}

// The focus goes back to the control that had it when the dialog was left,
// else to the first control; never to the dialog itself.
void RestoreFocus(HWND dialog, DialogState& state)
{
    HWND target = state.lastFocus != nullptr && IsChild(dialog, state.lastFocus) ? state.lastFocus
                                                                                : NextTabStop(dialog, nullptr, true);
    if (target != nullptr) {
        SetFocus(target);
        ScrollIntoView(dialog, target);
    }
}

LRESULT Activate(HWND dialog, DialogState& state, WPARAM wParam)
{
    HWND focus = GetFocus();
    if (LOWORD(wParam) == WA_INACTIVE) {
        if (focus != nullptr && IsChild(dialog, focus))
            state.lastFocus = focus;
    } else if (focus == nullptr || !IsChild(dialog, focus)) {
        RestoreFocus(dialog, state);
    }
    return 0;
}

}  // namespace
}  // namespace platform::dialog

LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    using namespace platform::dialog;
    std::shared_ptr<DialogState> state = FindDialog(dialog);
    if (!state && message == WM_NCCREATE) {
        state = TakePendingDialog();
        if (state)
            BindDialog(dialog, state);
    }
    if (state && state->procedure != nullptr && message != WM_NCCREATE && message != WM_CREATE) {
        INT_PTR answer = state->procedure(dialog, message, wParam, lParam);
        if (answer != 0 || message == WM_INITDIALOG)
            return answer;
    }
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_GETFONT:
        return state ? reinterpret_cast<LRESULT>(state->font) : 0;
    case WM_SETFONT:
        if (state)
            state->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_KEYDOWN: {
        MSG key{dialog, message, wParam, lParam};
        return HandleDialogKey(dialog, nullptr, &key) ? 0 : DefWindowProcW(dialog, message, wParam, lParam);
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL && state)
            EndDialog(dialog, IDCANCEL);
        return 0;
    case WM_CLOSE:
        if (!state)
            break;
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return 0;
    case WM_ACTIVATE:
        if (!state)
            break;
        return Activate(dialog, *state, wParam);
    case WM_SETFOCUS:
        if (state)
            RestoreFocus(dialog, *state);
        return 0;
    case WM_ERASEBKGND:
        return EraseWhite(dialog, reinterpret_cast<HDC>(wParam));
    case WM_NCDESTROY:
        ForgetDialog(dialog);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(dialog, message, wParam, lParam);
}

BOOL IsDialogMessageW(HWND dialog, MSG* message)
{
    using namespace platform::dialog;
    // Only the dialog's child controls: keys posted to a window the dialog
    // owns (its soft-key bar) are that window's own, so an overridden Back
    // key reaches the bar and not the dialog's cancel (IsChild follows child
    // chains only).
    if (message == nullptr || message->message != WM_KEYDOWN || message->hwnd == dialog ||
        !IsChild(dialog, message->hwnd))
        return FALSE;
    return HandleDialogKey(dialog, message->hwnd, message) ? TRUE : FALSE;
}
