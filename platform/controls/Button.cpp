// The BUTTON class: check boxes (an 11 px box with a tick, the caption to its
// right) and plain push buttons; Action clicks them.
#include <algorithm>
#include <memory>

#include "platform/controls/Look.h"
#include "platform/controls/Procedures.h"
#include "platform/display/Display.h"

namespace platform::controls {
namespace {

constexpr int kBoxSize = 11;
constexpr int kCaptionGap = 4;
constexpr UINT BM_GETSTATE = 0x00F2;

struct ButtonState : ControlState {
    static constexpr Kind kKind = Kind::Button;
    ButtonState() : ControlState(kKind) {}
    WPARAM check = BST_UNCHECKED;
};

DWORD TypeOf(HWND window) { return StyleOf(window) & BS_TYPEMASK; }
bool IsCheckBox(HWND window) { return TypeOf(window) == BS_CHECKBOX || TypeOf(window) == BS_AUTOCHECKBOX; }

void Tick(HDC dc, const RECT& box, COLORREF color)
{
    // Two pixels thick: down from the left, then up to the right.
    static constexpr POINT kPoints[] = {{2, 5}, {4, 7}, {8, 3}};
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ old = SelectObject(dc, pen);
    for (int dy = 0; dy < 2; ++dy) {
        POINT line[3];
        for (int i = 0; i < 3; ++i)
            line[i] = POINT{box.left + kPoints[i].x, box.top + kPoints[i].y + dy};
        Polyline(dc, line, 3);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

WideString Caption(HWND window)
{
    int length = GetWindowTextLengthW(window);
    WideString text(static_cast<std::size_t>(std::max(length, 0)) + 1, u'\0');
    int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

void PaintCheckBox(HWND window, const ButtonState& state, HDC dc, const RECT& client, bool focused, bool enabled)
{
    int top = (client.top + client.bottom - kBoxSize) / 2;
    RECT box{client.left + 1, top, client.left + 1 + kBoxSize, top + kBoxSize};
    FillSolid(dc, box, kBackground);
    Frame(dc, box, enabled ? (focused ? kFocusBorder : kBorder) : kGreyText, 1);
    if (state.check == BST_CHECKED)
        Tick(dc, box, enabled ? kText : kGreyText);
    WideString caption = Caption(window);
    RECT textRect{box.right + kCaptionGap, client.top, client.right, client.bottom};
    COLORREF color = enabled ? kText : kGreyText;
    if (focused && enabled) {
        SIZE size{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
        RECT bar{textRect.left - 2, client.top, std::min<LONG>(textRect.left + size.cx + 2, client.right),
                 client.bottom};
        FillSolid(dc, bar, kSelection);
        color = kSelectionText;
    }
    SetTextColor(dc, color);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

void PaintPushButton(HWND window, HDC dc, const RECT& client, bool focused, bool enabled)
{
    FillSolid(dc, client, focused && enabled ? kSelection : kTrack);
    Frame(dc, client, focused ? kFocusBorder : kBorder, 1);
    WideString caption = Caption(window);
    RECT textRect = client;
    SetTextColor(dc, !enabled ? kGreyText : (focused ? kSelectionText : kText));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect,
              DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

void Paint(HWND window, const ButtonState& state)
{
    PaintScope paint(window, state, kBackground);
    HDC dc = paint.Dc();
    if (dc == nullptr)
        return;
    RECT client = paint.Client();
    bool focused = HasFocus(window);
    bool enabled = IsWindowEnabled(window) != FALSE;
    if (IsCheckBox(window))
        PaintCheckBox(window, state, dc, client, focused, enabled);
    else
        PaintPushButton(window, dc, client, focused, enabled);
}

void Click(HWND window, ButtonState& state)
{
    if (TypeOf(window) == BS_AUTOCHECKBOX) {
        state.check = state.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        InvalidateRect(window, nullptr, FALSE);
    }
    NotifyParent(window, BN_CLICKED);
}

LRESULT DialogCode(HWND window, const MSG* message)
{
    LRESULT code = DLGC_BUTTON;
    if (!IsCheckBox(window))
        code |= TypeOf(window) == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
    if (message != nullptr && message->message == WM_KEYDOWN && message->wParam == display::VK_ACTION)
        code |= DLGC_WANTMESSAGE;
    return code;
}

LRESULT Message(HWND window, ButtonState& state, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(window, state);
        return 0;
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, FALSE);
        return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_KEYDOWN:
        if (wParam == display::VK_ACTION && IsWindowEnabled(window))
            Click(window, state);
        return 0;
    case WM_GETDLGCODE:
        return DialogCode(window, reinterpret_cast<const MSG*>(lParam));
    case BM_GETCHECK:
        return static_cast<LRESULT>(state.check);
    case BM_SETCHECK:
        state.check = wParam == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case BM_GETSTATE:
        return static_cast<LRESULT>(state.check) | (HasFocus(window) ? 0x0008 : 0);
    case BM_CLICK:
        if (IsWindowEnabled(window))
            Click(window, state);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

LRESULT ButtonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ControlProcedure<ButtonState, Message>(window, message, wParam, lParam);
}

}  // namespace platform::controls
