// Where the main window puts its contact list, status bar and tool bar: the
// skin's layout code stacks them from top to bottom, and the list takes
// the full width and all the height the bars leave.
#pragma once

#include "platform/win/Window.h"

namespace mainlayout {

struct Areas {
    RECT list{};
    RECT status{};   // empty when the status bar is not shown
    RECT toolbar{};  // empty when the tool bar is not shown
};

// client: the window's client rectangle; statusHeight and toolbarHeight
// the bars' heights (0 for a bar that is not shown). An unknown code
// stacks list and status bar.
Areas Compute(int layoutCode, const RECT& client, int statusHeight, int toolbarHeight);

}  // namespace mainlayout
