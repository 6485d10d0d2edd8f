// The STATIC class: a label, left, centred or right with word wrap, or one
// line ending in an ellipsis (SS_LEFTNOWORDWRAP), on the white background.
#include <algorithm>
#include <memory>

#include "platform/controls/Look.h"
#include "platform/controls/Procedures.h"

namespace platform::controls {
namespace {

constexpr DWORD kTypeMask = 0x001F;

UINT FormatOf(DWORD style)
{
    UINT format = (style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0;
    switch (style & kTypeMask) {
    case SS_CENTER:
        return format | DT_CENTER | DT_WORDBREAK;
    case SS_RIGHT:
        return format | DT_RIGHT | DT_WORDBREAK;
    case SS_LEFTNOWORDWRAP:
        return format | DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS;
    default:
        return format | DT_LEFT | DT_WORDBREAK;
    }
}

struct StaticState : ControlState {
    static constexpr Kind kKind = Kind::Static;
    StaticState() : ControlState(kKind) {}
};

void Paint(HWND window, const StaticState& state)
{
    PaintScope paint(window, state, kBackground);
    HDC dc = paint.Dc();
    if (dc == nullptr)
        return;
    RECT client = paint.Client();
    int length = GetWindowTextLengthW(window);
    WideString text(static_cast<std::size_t>(std::max(length, 0)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(std::max(GetWindowTextW(window, text.data(), static_cast<int>(text.size())), 0)));
    SetTextColor(dc, IsWindowEnabled(window) ? kText : kGreyText);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, FormatOf(StyleOf(window)));
}

LRESULT Message(HWND window, StaticState& state, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(window, state);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, FALSE);
        return result;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

LRESULT StaticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ControlProcedure<StaticState, Message>(window, message, wParam, lParam);
}

}  // namespace platform::controls
