// Laying out and drawing an open pop-up menu: numbered items, the highlight
// bar, greyed items, separators and the submenu triangle, on a white card
// with a thin dark border.
#include "platform/menu/PopupView.h"

#include <algorithm>

#include "platform/display/Display.h"
#include "platform/menu/ShellDrawing.h"

namespace platform::menu {

const WCHAR kPopupClass[] = u"PopupMenu";

namespace {

constexpr COLORREF kBack = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBorder = RGB(0x2A, 0x3A, 0x55);
constexpr COLORREF kText = RGB(0x10, 0x20, 0x40);
constexpr COLORREF kHighlight = RGB(0x31, 0x6A, 0xC5);
constexpr COLORREF kHighlightText = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kGrayed = RGB(0xA0, 0xA0, 0xA0);
constexpr COLORREF kSeparator = RGB(0xC8, 0xD0, 0xDC);

int HeightOf(const ItemView& item)
{
    return item.separator ? Metrics().separatorHeight : Metrics().itemHeight;
}

void Fill(HDC dc, RECT rect, COLORREF colour) { FillColour(dc, rect, colour); }

// A small triangle pointing right (submenu) or up/down (more items).
void DrawArrow(HDC dc, int x, int y, int size, int direction, COLORREF colour)
{
    for (int i = 0; i < size; ++i) {
        int length = 2 * (size - i) - 1;
        if (direction == 0)  // right: columns shrinking to the tip
            Fill(dc, RECT{x + i, y + i, x + i + 1, y + i + length}, colour);
        else if (direction < 0)  // up: rows growing downwards
            Fill(dc, RECT{x + size - 1 - i, y + i, x + size + i, y + i + 1}, colour);
        else  // down
            Fill(dc, RECT{x + i, y + i, x + 2 * size - 1 - i, y + i + 1}, colour);
    }
}

void PaintItem(HDC dc, const PopupView& view, int index, RECT row, bool hasSubmenus)
{
    const PopupMetrics& m = Metrics();
    const ItemView& item = view.items[static_cast<std::size_t>(index)];
    if (item.separator) {
        int middle = (row.top + row.bottom) / 2;
        Fill(dc, RECT{row.left + m.padding, middle, row.right - m.padding, middle + 1}, kSeparator);
        return;
    }
    bool selected = index == view.selected;
    COLORREF colour = item.grayed ? kGrayed : (selected ? kHighlightText : kText);
    if (selected)
        Fill(dc, row, kHighlight);
    SetTextColor(dc, colour);
    WideString label = LabelOf(view.items, static_cast<std::size_t>(index));
    if (item.checked)
        label += u" \u2713";
    RECT text{row.left + m.padding, row.top, row.right - m.padding - (hasSubmenus ? m.arrowSpace : 0), row.bottom};
    DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.submenu != nullptr) {
        int size = 4;
        DrawArrow(dc, row.right - m.padding - size, (row.top + row.bottom) / 2 - size + 1, size, 0, colour);
    }
}

void Paint(HWND window, const PopupView& view)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr)
        return;
    const PopupMetrics& m = Metrics();
    RECT client;
    GetClientRect(window, &client);
    Fill(dc, client, kBorder);
    RECT inner{client.left + m.border, client.top + m.border, client.right - m.border, client.bottom - m.border};
    Fill(dc, inner, kBack);
    HGDIOBJ oldFont = SelectObject(dc, PopupFont());
    SetBkMode(dc, TRANSPARENT);
    bool hasSubmenus = std::any_of(view.items.begin(), view.items.end(),
                                   [](const ItemView& item) { return item.submenu != nullptr; });
    int last = LastShown(view);
    int y = inner.top;
    for (int i = view.top; i <= last; ++i) {
        int height = HeightOf(view.items[static_cast<std::size_t>(i)]);
        PaintItem(dc, view, i, RECT{inner.left, y, inner.right, y + height}, hasSubmenus);
        y += height;
    }
    int middle = (inner.left + inner.right) / 2 - 3;
    if (view.top > 0)
        DrawArrow(dc, middle, inner.top, 3, -1, kBorder);
    if (last + 1 < static_cast<int>(view.items.size()))
        DrawArrow(dc, middle, inner.bottom - 3, 3, 1, kBorder);
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}

}  // namespace

const PopupMetrics& Metrics()
{
    static const PopupMetrics metrics = [] {
        PopupMetrics m;
        int font = display::Layout().stripFontPixels;
        m.itemHeight = font + 8;
        m.minWidth = font * 5;
        return m;
    }();
    return metrics;
}

HFONT PopupFont() { return ShellFont(FW_NORMAL); }

WideString LabelOf(const std::vector<ItemView>& items, std::size_t index)
{
    int number = 0;
    for (std::size_t i = 0; i <= index && i < items.size(); ++i) {
        if (!items[i].separator)
            ++number;
    }
    const WideString& text = items[index].text;
    if (number < 1 || number > 9)
        return text;
    return WideString(1, static_cast<WCHAR>(u'0' + number)) + u" " + text;
}

int ItemOfNumber(const std::vector<ItemView>& items, int number)
{
    int count = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!items[i].separator && ++count == number)
            return static_cast<int>(i);
    }
    return -1;
}

SIZE MeasureView(const PopupView& view)
{
    const PopupMetrics& m = Metrics();
    const display::ScreenLayout& layout = display::Layout();
    RECT work = layout.WorkArea();
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, PopupFont());
    int widest = 0;
    int height = 0;
    bool hasSubmenus = false;
    for (std::size_t i = 0; i < view.items.size(); ++i) {
        height += HeightOf(view.items[i]);
        hasSubmenus = hasSubmenus || view.items[i].submenu != nullptr;
        if (view.items[i].separator)
            continue;
        WideString label = LabelOf(view.items, i) + (view.items[i].checked ? u" \u2713" : u"");
        SIZE size{};
        GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    int width = widest + 2 * (m.border + m.padding) + (hasSubmenus ? m.arrowSpace : 0);
    width = std::clamp(width, std::min(m.minWidth, layout.width - 8), layout.width - 8);
    height = std::min<int>(height + 2 * m.border, work.bottom - work.top);
    return SIZE{width, height};
}

int LastShown(const PopupView& view)
{
    int room = view.rect.bottom - view.rect.top - 2 * Metrics().border;
    int last = view.top - 1;
    for (int i = view.top; i < static_cast<int>(view.items.size()); ++i) {
        room -= HeightOf(view.items[static_cast<std::size_t>(i)]);
        if (room < 0)
            break;
        last = i;
    }
    return last;
}

void ScrollToSelection(PopupView& view)
{
    int count = static_cast<int>(view.items.size());
    view.top = std::clamp(view.top, 0, std::max(0, count - 1));
    if (view.selected < 0)
        return;
    if (view.selected < view.top)
        view.top = view.selected;
    while (view.top < view.selected && LastShown(view) < view.selected)
        ++view.top;
}

int ItemTop(const PopupView& view, int index)
{
    if (index < view.top || index > LastShown(view))
        return -1;
    int y = Metrics().border;
    for (int i = view.top; i < index; ++i)
        y += HeightOf(view.items[static_cast<std::size_t>(i)]);
    return y;
}

void RegisterPopupClass() { RegisterShellClass(kPopupClass, ViewProcedure<PopupView, Paint>); }

}  // namespace platform::menu
