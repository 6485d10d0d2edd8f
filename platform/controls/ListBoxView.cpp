// Drawing a list box: rows with the selection bar and a thin scroll
// indicator, or, as a spinner's buddy, one line with arrows at its ends.
#include <algorithm>

#include "platform/controls/ListBoxState.h"
#include "platform/controls/Look.h"

namespace platform::controls {
namespace {

constexpr int kIndicatorWidth = 3;
constexpr int kArrowWidth = 9;

int BorderOf(HWND window) { return (StyleOf(window) & WS_BORDER) != 0 ? 1 : 0; }

RECT Inner(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    int border = BorderOf(window);
    return RECT{client.left + border, client.top + border, std::max(client.left + border, client.right - border),
                std::max(client.top + border, client.bottom - border)};
}

void DrawItemText(HDC dc, const WideString& text, RECT rect, UINT align, COLORREF color)
{
    SetTextColor(dc, color);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void DrawBorder(HDC dc, HWND window, const RECT& client, bool focused)
{
    if (BorderOf(window) != 0)
        Frame(dc, client, focused ? kFocusBorder : kBorder, 1);
}

void PaintRows(HWND window, ListBoxState& state, HDC dc, const RECT& inner, bool focused, bool enabled)
{
    int itemHeight = ItemHeight(window, state);
    int rows = VisibleRows(window, state);
    int count = static_cast<int>(state.items.size());
    bool scrolls = count > rows;
    int right = scrolls ? inner.right - kIndicatorWidth : inner.right;
    for (int i = state.top; i < count && i < state.top + rows + 1; ++i) {
        int y = inner.top + (i - state.top) * itemHeight;
        RECT row{inner.left, y, right, std::min<LONG>(y + itemHeight, inner.bottom)};
        COLORREF color = enabled ? kText : kGreyText;
        if (i == state.current) {
            FillSolid(dc, row, focused ? kSelection : kIdleSelection);
            if (focused && enabled)
                color = kSelectionText;
        }
        RECT textRect{row.left + 2, y, row.right - 2, y + itemHeight};
        DrawItemText(dc, state.items[static_cast<std::size_t>(i)].text, textRect, DT_LEFT, color);
    }
    if (!scrolls)
        return;
    RECT track{inner.right - kIndicatorWidth + 1, inner.top, inner.right, inner.bottom};
    FillSolid(dc, track, kTrack);
    int height = track.bottom - track.top;
    int thumb = std::max(4, height * rows / count);
    int offset = count > rows ? (height - thumb) * state.top / (count - rows) : 0;
    FillSolid(dc, RECT{track.left, track.top + offset, track.right, track.top + offset + thumb}, kThumb);
}

void PaintSpinnerLine(const ListBoxState& state, HDC dc, const RECT& inner, bool focused, bool enabled)
{
    bool wraps = (StyleOf(state.spinner) & UDS_WRAP) != 0;
    int count = static_cast<int>(state.items.size());
    bool canLeft = count > 1 && (wraps || state.current != 0);
    bool canRight = count > 1 && (wraps || state.current + 1 < count);
    COLORREF arrow = focused ? kFocusBorder : kBorder;
    RECT left{inner.left, inner.top, inner.left + kArrowWidth, inner.bottom};
    RECT right{inner.right - kArrowWidth, inner.top, inner.right, inner.bottom};
    Arrow(dc, left, false, enabled && canLeft ? arrow : kTrack);
    Arrow(dc, right, true, enabled && canRight ? arrow : kTrack);
    RECT value{left.right, inner.top, right.left, inner.bottom};
    COLORREF color = enabled ? kText : kGreyText;
    if (focused && enabled) {
        FillSolid(dc, value, kSelection);
        color = kSelectionText;
    }
    if (state.current >= 0 && state.current < count) {
        RECT textRect{value.left + 1, value.top, value.right - 1, value.bottom};
        DrawItemText(dc, state.items[static_cast<std::size_t>(state.current)].text, textRect, DT_CENTER, color);
    }
}

}  // namespace

int ItemHeight(HWND window, ListBoxState& state)
{
    (void)window;
    HFONT font = FontOf(state);
    if (font != state.measuredFont) {
        MeasureScope measure(state);
        state.itemHeight = LineHeight(measure.Dc()) + 2;
        state.measuredFont = font;
    }
    return state.itemHeight;
}

int VisibleRows(HWND window, ListBoxState& state)
{
    RECT inner = Inner(window);
    return std::max(1, static_cast<int>(inner.bottom - inner.top) / ItemHeight(window, state));
}

void KeepCurrentVisible(HWND window, ListBoxState& state)
{
    int rows = VisibleRows(window, state);
    int count = static_cast<int>(state.items.size());
    if (state.current >= 0) {
        if (state.current < state.top)
            state.top = state.current;
        else if (state.current >= state.top + rows)
            state.top = state.current - rows + 1;
    }
    state.top = std::clamp(state.top, 0, std::max(0, count - rows));
}

void PaintListBox(HWND window, ListBoxState& state)
{
    PaintScope paint(window, state, kBackground);
    HDC dc = paint.Dc();
    if (dc == nullptr)
        return;
    RECT client = paint.Client();
    bool focused = HasFocus(window) || (IsSpinnerList(state) && HasFocus(state.spinner));
    bool enabled = IsWindowEnabled(window) != FALSE;
    DrawBorder(dc, window, client, focused);
    RECT inner = Inner(window);
    IntersectClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    if (IsSpinnerList(state))
        PaintSpinnerLine(state, dc, inner, focused, enabled);
    else
        PaintRows(window, state, dc, inner, focused, enabled);
}

}  // namespace platform::controls
