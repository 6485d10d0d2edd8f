// The EDIT class: window messages and the EM_ messages.
#include <algorithm>
#include <memory>

#include "platform/base/WideString.h"
#include "platform/controls/EditState.h"
#include "platform/controls/Procedures.h"
#include "platform/display/Display.h"

namespace platform::controls {
namespace {

constexpr UINT kHotKeyMessage = 0x0312;  // WM_HOTKEY: the Back key handed to the focus window
constexpr WORD kKeyUpModifier = 0x1000;  // MOD_KEYUP

void SetText(HWND window, EditState& state, LPCWSTR text)
{
    std::size_t length = std::min<std::size_t>(WideLength(text), kMaxEditLimit);
    state.pendingKey = 0;
    KillTimer(window, kCommitTimer);
    state.text.assign(text != nullptr ? text : u"", length);
    state.anchor = state.caret = 0;
    state.firstLine = 0;
    state.scrollX = 0;
    state.modified = false;
    state.layoutDirty = true;
    InvalidateRect(window, nullptr, FALSE);
}

LRESULT GetText(const EditState& state, WPARAM size, LPWSTR buffer)
{
    if (buffer == nullptr || size == 0)
        return 0;
    std::size_t count = std::min<std::size_t>(state.text.size(), size - 1);
    state.text.copy(buffer, count);
    buffer[count] = 0;
    return static_cast<LRESULT>(count);
}

// An EM_SETSEL position: -1 (any negative value) is "none".
std::size_t Position(WPARAM value, std::size_t none)
{
    auto signedValue = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return signedValue < 0 ? none : static_cast<std::size_t>(signedValue);
}

LRESULT GetSel(const EditState& state, WPARAM wParam, LPARAM lParam)
{
    auto start = static_cast<DWORD>(state.SelStart());
    auto end = static_cast<DWORD>(state.SelEnd());
    if (auto* out = reinterpret_cast<DWORD*>(wParam))
        *out = start;
    if (auto* out = reinterpret_cast<DWORD*>(lParam))
        *out = end;
    return MAKELONG(static_cast<WORD>(std::min<DWORD>(start, 0xFFFF)), static_cast<WORD>(std::min<DWORD>(end, 0xFFFF)));
}

void SetSel(HWND window, EditState& state, WPARAM wParam, LPARAM lParam)
{
    CommitPending(window, state);
    std::size_t start = Position(wParam, std::size_t(-1));
    if (start == std::size_t(-1)) {
        SetSelection(window, state, state.caret, state.caret);
        return;
    }
    std::size_t end = Position(static_cast<WPARAM>(lParam), state.text.size());
    SetSelection(window, state, start, end);
}

void SetStyleBit(HWND window, DWORD bit, bool on)
{
    DWORD style = StyleOf(window);
    SetWindowLongW(window, GWL_STYLE, static_cast<LONG_PTR>(on ? style | bit : style & ~bit));
}

// The EM_ messages; `*handled` false for anything else.
LRESULT EditMessage(HWND window, EditState& state, UINT message, WPARAM wParam, LPARAM lParam, bool* handled)
{
    *handled = true;
    switch (message) {
    case EM_GETSEL:
        return GetSel(state, wParam, lParam);
    case EM_SETSEL:
        SetSel(window, state, wParam, lParam);
        return 0;
    case EM_REPLACESEL:
        CommitPending(window, state);
        ReplaceSelection(window, state, reinterpret_cast<LPCWSTR>(lParam) != nullptr
                                            ? std::u16string_view(reinterpret_cast<LPCWSTR>(lParam))
                                            : std::u16string_view(),
                         true, true);
        return 0;
    case EM_LIMITTEXT:
        state.limit = wParam == 0 ? kMaxEditLimit : std::min<std::size_t>(wParam, kMaxEditLimit);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(state.limit);
    case EM_GETLINECOUNT:
        EnsureLayout(window, state);
        return static_cast<LRESULT>(state.lines.size());
    case EM_GETFIRSTVISIBLELINE:
        return IsMultiLine(window) ? static_cast<LRESULT>(state.firstLine) : 0;
    case EM_SCROLLCARET:
        ScrollToCaret(window, state);
        InvalidateRect(window, nullptr, FALSE);
        return TRUE;
    case EM_GETMODIFY:
        return state.modified ? TRUE : FALSE;
    case EM_SETMODIFY:
        state.modified = wParam != 0;
        return 0;
    case EM_SETREADONLY:
        CommitPending(window, state);
        SetStyleBit(window, ES_READONLY, wParam != 0);
        ShowMode(window, state);
        InvalidateRect(window, nullptr, FALSE);
        return TRUE;
    case EM_SETPASSWORDCHAR:
        if (wParam != 0)
            state.passwordChar = static_cast<WCHAR>(wParam);
        SetStyleBit(window, ES_PASSWORD, wParam != 0);
        state.layoutDirty = true;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case EM_SETINPUTMODE:
        CommitPending(window, state);
        state.numbersMode = (wParam & 0xFFFF) == EIM_NUMBERS;
        state.capitalNext = false;
        ShowMode(window, state);
        return TRUE;
    case EM_GETINPUTMODE:
        return static_cast<LRESULT>(state.numbersMode ? EIM_NUMBERS : EIM_TEXT);
    default:
        *handled = false;
        return 0;
    }
}

void OnFocus(HWND window, EditState& state, bool gained)
{
    if (gained) {
        state.caretOn = true;
        SetTimer(window, kBlinkTimer, kBlinkMs, nullptr);
        ShowMode(window, state);
    } else {
        CommitPending(window, state);
        KillTimer(window, kBlinkTimer);
        display::SetInputMode(window, u"");
    }
    InvalidateRect(window, nullptr, FALSE);
    NotifyParent(window, gained ? EN_SETFOCUS : EN_KILLFOCUS);
}

void OnTimer(HWND window, EditState& state, WPARAM id)
{
    if (id == kCommitTimer) {
        CommitPending(window, state);
    } else if (id == kBlinkTimer) {
        if (!HasFocus(window)) {
            KillTimer(window, kBlinkTimer);
            state.caretOn = false;
        } else {
            state.caretOn = !state.caretOn;
        }
        InvalidateRect(window, nullptr, FALSE);
    }
}

LRESULT WindowMessage(HWND window, EditState& state, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam); create != nullptr)
            SetText(window, state, create->lpszName);
        return 0;
    case WM_SETTEXT:
        SetText(window, state, reinterpret_cast<LPCWSTR>(lParam));
        // As on the device, only a single-line edit reports a text set from outside.
        if (!IsMultiLine(window)) {
            NotifyParent(window, EN_UPDATE);
            if (!state.dead)
                NotifyParent(window, EN_CHANGE);
        }
        return TRUE;
    case WM_GETTEXT:
        return GetText(state, wParam, reinterpret_cast<LPWSTR>(lParam));
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(state.text.size());
    case WM_PAINT:
        PaintEdit(window, state);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        OnFocus(window, state, message == WM_SETFOCUS);
        return 0;
    case WM_TIMER:
        OnTimer(window, state, wParam);
        return 0;
    case WM_KEYDOWN:
        return EditKeyDown(window, state, wParam);
    case WM_CHAR:
        return EditChar(window, state, wParam);
    case kHotKeyMessage:
        if (HIWORD(static_cast<std::uintptr_t>(lParam)) == display::VK_BACK_KEY &&
            (LOWORD(static_cast<std::uintptr_t>(lParam)) & kKeyUpModifier) == 0 &&
            (StyleOf(window) & ES_READONLY) == 0)
            DeleteBack(window, state);
        return 0;
    case WM_GETDLGCODE:
        return EditDialogCode(window, state, reinterpret_cast<const MSG*>(lParam));
    default:
        break;
    }
    bool handled = false;
    LRESULT result = EditMessage(window, state, message, wParam, lParam, &handled);
    return handled ? result : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

LRESULT EditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ControlProcedure<EditState, WindowMessage>(window, message, wParam, lParam);
}

}  // namespace platform::controls
