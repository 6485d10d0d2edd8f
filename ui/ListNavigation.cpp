#include "ui/ListNavigation.h"

#include <algorithm>

namespace ui {
namespace {

int Next(int selected, int top, int last, bool wrap)
{
    if (selected < 0)
        return top;
    if (selected < last)
        return selected + 1;
    return wrap ? 0 : selected;
}

int Previous(int selected, int top, int last, bool wrap)
{
    if (selected < 0)
        return top;
    if (selected > 0)
        return selected - 1;
    return wrap ? last : selected;
}

int PageUp(const ListPosition& position, const ContactRows& rows, int viewHeight)
{
    int selected = position.selected;
    if (selected != position.top)
        return position.top;
    int target = rows.Top(selected) - viewHeight;
    if (target <= 0)
        return 0;
    while (selected > 0 && rows.Top(selected - 1) >= target)
        --selected;
    // A row taller than the view still moves the selection by one.
    return selected == position.selected ? selected - 1 : selected;
}

// The last row that ends within one view height below the top of `from`;
// at least the row after `from` when one row fills the view.
int PageFrom(int from, const ContactRows& rows, int viewHeight)
{
    int last = rows.LastEndingAtOrAbove(rows.Top(from) + viewHeight);
    return std::max(last, from);
}

int PageDown(const ListPosition& position, const ContactRows& rows, int viewHeight)
{
    int target = PageFrom(position.top, rows, viewHeight);
    if (position.selected >= target) {
        target = PageFrom(position.selected, rows, viewHeight);
        if (target == position.selected)
            ++target;
    }
    return std::min(target, rows.Last());
}

}  // namespace

int Navigate(NavigationAction action, const ListPosition& position, const ContactRows& rows, int viewHeight,
             bool wrap)
{
    if (rows.Empty())
        return -1;
    ListPosition at = position;
    at.top = std::clamp(at.top, 0, rows.Last());
    at.selected = std::min(at.selected, rows.Last());
    switch (action) {
    case NavigationAction::Next:
        return Next(at.selected, at.top, rows.Last(), wrap);
    case NavigationAction::Previous:
        return Previous(at.selected, at.top, rows.Last(), wrap);
    case NavigationAction::PageUp:
        return PageUp(at, rows, viewHeight);
    case NavigationAction::PageDown:
        return PageDown(at, rows, viewHeight);
    }
    return at.selected;
}

int FitTop(const ListPosition& position, const ContactRows& rows, int viewHeight)
{
    if (rows.Empty())
        return 0;
    int top = std::clamp(position.top, 0, rows.Last());
    int selected = position.selected;
    if (selected < 0)
        return top;
    if (selected < top)
        return selected;
    int first = rows.FirstStartingAtOrBelow(rows.Bottom(selected) - viewHeight);
    return std::clamp(first, top, selected);
}

}  // namespace ui
