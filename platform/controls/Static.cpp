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

void Paint(HWND window, const ControlState& state)
{
    PaintScope paint(window, state);
    HDC dc = paint.Dc();
    if (dc == nullptr)
        return;
    RECT client = paint.Client();
    FillSolid(dc, client, kBackground);
    int length = GetWindowTextLengthW(window);
    WideString text(static_cast<std::size_t>(std::max(length, 0)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(std::max(GetWindowTextW(window, text.data(), static_cast<int>(text.size())), 0)));
    SetTextColor(dc, IsWindowEnabled(window) ? kText : kGreyText);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, FormatOf(StyleOf(window)));
}

}  // namespace

LRESULT StaticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        AttachState(window, std::make_shared<ControlState>(Kind::Static));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    std::shared_ptr<ControlState> state = StateOf(window);
    if (!state || state->kind != Kind::Static)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    switch (message) {
    case WM_NCDESTROY:
        DetachState(window);
        break;
    case WM_PAINT:
        Paint(window, *state);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_SETTEXT:
        result = DefWindowProcW(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, FALSE);
        return result;
    default:
        if (HandleCommonMessage(window, *state, message, wParam, lParam, &result))
            return result;
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace platform::controls
