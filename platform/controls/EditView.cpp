// The view of an edit control: its lines laid out in the control's font,
// scrolling that keeps the caret visible, and painting (border, text,
// selection, the underlined multi-tap letter, the caret).
#include <algorithm>
#include <optional>

#include "platform/controls/EditState.h"
#include "platform/controls/Look.h"

namespace platform::controls {
namespace {

constexpr int kPadX = 3;  // room for the 2 px focus border and a pixel of air
constexpr int kPadY = 2;

bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

int Measure(HDC dc, const char16_t* units, int count)
{
    SIZE size{};
    return GetTextExtentPoint32W(dc, units, count, &size) ? static_cast<int>(size.cx) : 0;
}

// Advance of unit i of the shown text (a pair's width on its first half).
// The measuring context is made only when a character is not cached yet.
int AdvanceOf(EditState& state, std::optional<MeasureScope>& measure, const WideString& shown, std::size_t i)
{
    char16_t c = shown[i];
    if (IsLowSurrogate(c) && i > 0)
        return 0;
    if (c == u'\r' || c == u'\n')
        return 0;
    bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < shown.size() && IsLowSurrogate(shown[i + 1]);
    if (!pair) {
        if (auto cached = state.advanceCache.find(c); cached != state.advanceCache.end())
            return cached->second;
    }
    if (!measure)
        measure.emplace(state);
    int width = Measure(measure->Dc(), shown.data() + i, pair ? 2 : 1);
    if (!pair)
        state.advanceCache.emplace(c, width);
    return width;
}

// The text as shown: the password character for each character of a
// password edit.
WideString ShownText(HWND window, const EditState& state)
{
    if ((StyleOf(window) & ES_PASSWORD) == 0)
        return state.text;
    WideString shown(state.text.size(), state.passwordChar);
    for (std::size_t i = 0; i < state.text.size(); ++i) {
        if (IsLowSurrogate(state.text[i]) && i > 0)
            shown[i] = u'\u200B';  // the pair shows as one character
    }
    return shown;
}

void DrawSpan(HDC dc, const WideString& shown, std::size_t from, std::size_t to, int x, int y, COLORREF color)
{
    if (to <= from)
        return;
    SetTextColor(dc, color);
    ExtTextOutW(dc, x, y, 0, nullptr, shown.data() + from, static_cast<UINT>(to - from), nullptr);
}

void DrawLine(HDC dc, HWND window, const EditState& state, const WideString& shown, const EditLine& line, int x,
              int y)
{
    bool focused = HasFocus(window);
    COLORREF color = IsWindowEnabled(window) ? kText : kGreyText;
    std::size_t selFrom = std::clamp(state.SelStart(), line.start, line.end);
    std::size_t selTo = std::clamp(state.SelEnd(), line.start, line.end);
    bool showSelection = selTo > selFrom && (focused || (StyleOf(window) & ES_NOHIDESEL) != 0);
    if (!showSelection)
        selFrom = selTo = line.end;
    int selLeft = x + SpanWidth(state.advances, line.start, selFrom);
    int selRight = selLeft + SpanWidth(state.advances, selFrom, selTo);
    DrawSpan(dc, shown, line.start, selFrom, x, y, color);
    if (showSelection) {
        FillSolid(dc, RECT{selLeft, y, selRight, y + state.lineHeight}, kSelection);
        DrawSpan(dc, shown, selFrom, selTo, selLeft, y, kSelectionText);
    }
    DrawSpan(dc, shown, selTo, line.end, selRight, y, color);
    if (state.pendingKey != 0 && state.pendingAt >= line.start && state.pendingAt < line.end) {
        int left = x + SpanWidth(state.advances, line.start, state.pendingAt);
        int right = left + state.advances[state.pendingAt];
        FillSolid(dc, RECT{left, y + state.lineHeight - 1, right, y + state.lineHeight}, color);
    }
}

}  // namespace

RECT TextArea(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    RECT area{client.left + kPadX, client.top + kPadY, client.right - kPadX, client.bottom - kPadY};
    area.right = std::max(area.right, area.left);
    area.bottom = std::max(area.bottom, area.top);
    return area;
}

void EnsureLayout(HWND window, EditState& state)
{
    RECT area = TextArea(window);
    int width = area.right - area.left;
    HFONT font = FontOf(state);
    if (!state.layoutDirty && width == state.layoutWidth && font == state.measuredFont)
        return;
    std::optional<MeasureScope> measure;
    if (font != state.measuredFont) {
        measure.emplace(state);
        state.advanceCache.clear();
        state.measuredFont = font;
        state.lineHeight = std::max(1, LineHeight(measure->Dc()));
    }
    WideString shown = ShownText(window, state);
    state.advances.resize(shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i)
        state.advances[i] = AdvanceOf(state, measure, shown, i);
    if (IsMultiLine(window))
        state.lines = WrapLines(shown, state.advances, width, true);
    else
        state.lines = {EditLine{0, shown.size()}};
    state.layoutWidth = width;
    state.layoutDirty = false;
    state.firstLine = std::min(state.firstLine, state.lines.size() - 1);
}

int VisibleLines(HWND window, EditState& state)
{
    EnsureLayout(window, state);
    RECT area = TextArea(window);
    return std::max(1, static_cast<int>((area.bottom - area.top) / state.lineHeight));
}

void ScrollToCaret(HWND window, EditState& state)
{
    EnsureLayout(window, state);
    if (!IsMultiLine(window)) {
        RECT area = TextArea(window);
        int width = std::max(1, static_cast<int>(area.right - area.left));
        int x = SpanWidth(state.advances, 0, state.caret);
        if (x - state.scrollX > width - 1)
            state.scrollX = x - width + 1;
        else if (x < state.scrollX)
            state.scrollX = std::max(0, x - width / 3);
        return;
    }
    auto visible = static_cast<std::size_t>(VisibleLines(window, state));
    std::size_t line = LineOf(state.lines, state.caret);
    if (line < state.firstLine)
        state.firstLine = line;
    else if (line >= state.firstLine + visible)
        state.firstLine = line - visible + 1;
}

void PaintEdit(HWND window, EditState& state)
{
    PaintScope paint(window, state, kBackground);
    HDC dc = paint.Dc();
    if (dc == nullptr)
        return;
    RECT client = paint.Client();
    bool focused = HasFocus(window);
    Frame(dc, client, focused ? kFocusBorder : kBorder, focused ? 2 : 1);
    EnsureLayout(window, state);
    RECT area = TextArea(window);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    WideString shown = ShownText(window, state);
    bool multiLine = IsMultiLine(window);
    int x = area.left - (multiLine ? 0 : state.scrollX);
    int top = multiLine ? area.top : area.top + std::max(0, static_cast<int>(area.bottom - area.top) - state.lineHeight) / 2;
    std::size_t caretLine = LineOf(state.lines, state.caret);
    for (std::size_t i = state.firstLine; i < state.lines.size(); ++i) {
        int y = top + static_cast<int>(i - state.firstLine) * state.lineHeight;
        if (y >= area.bottom)
            break;
        const EditLine& line = state.lines[i];
        DrawLine(dc, window, state, shown, line, x, y);
        if (i == caretLine && focused && state.caretOn && (StyleOf(window) & ES_READONLY) == 0) {
            int caretX = x + SpanWidth(state.advances, line.start, state.caret);
            FillSolid(dc, RECT{caretX, y, caretX + 1, y + state.lineHeight}, kText);
        }
    }
}

}  // namespace platform::controls
