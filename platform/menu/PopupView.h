// One open pop-up menu on the screen: what it shows and how it is laid out
// and drawn. The menu session owns the views; each pop-up window points to
// its view (GWL_USERDATA) to paint it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/menu/MenuTable.h"

namespace platform::menu {

// The window class of open pop-ups.
extern const WCHAR kPopupClass[];

struct PopupView {
    HMENU menu = nullptr;
    std::vector<ItemView> items;
    std::uint64_t version = 0;
    int selected = -1;
    int top = 0;    // first item shown (long menus scroll)
    RECT rect{};    // screen rectangle of the window
};

// Metrics of the pop-ups on this screen.
struct PopupMetrics {
    int itemHeight = 18;
    int separatorHeight = 5;
    int border = 1;
    int padding = 4;
    int arrowSpace = 9;
    int minWidth = 56;
};
const PopupMetrics& Metrics();
HFONT PopupFont();

// "3 Chat" for the third numbered item; numbers skip separators and stop
// after nine.
WideString LabelOf(const std::vector<ItemView>& items, std::size_t index);
// The item numbered `number` (1-9), or -1.
int ItemOfNumber(const std::vector<ItemView>& items, int number);

// The size the view needs (at most the work area).
SIZE MeasureView(const PopupView& view);
// Index of the last item that fits when the view starts at `top`.
int LastShown(const PopupView& view);
// Scrolls so that the selection is shown.
void ScrollToSelection(PopupView& view);
// Top of an item in window coordinates, or -1 when it is not shown.
int ItemTop(const PopupView& view, int index);

// Registers the class once per process.
void RegisterPopupClass();

}  // namespace platform::menu
