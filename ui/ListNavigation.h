// The selection moves of the contact list: next, previous, page up and
// page down over rows of any height, and the first visible row that keeps
// the selection in view.
#pragma once

#include "ui/ContactListView.h"
#include "ui/ContactRows.h"

namespace ui {

struct ListPosition {
    int selected = -1;  // -1: none
    int top = 0;        // first visible row
};

// Applies one action. Without a selection, next and previous select the
// first visible row; at the ends they wrap when `wrap` is on. An empty list
// keeps no selection.
int Navigate(NavigationAction action, const ListPosition& position, const ContactRows& rows, int viewHeight,
             bool wrap);

// The first visible row after the selection moved: the selected row when it
// lies above `top`, otherwise the first row that lets the selected row's
// bottom fit in the view (never past the selected row).
int FitTop(const ListPosition& position, const ContactRows& rows, int viewHeight);

}  // namespace ui
