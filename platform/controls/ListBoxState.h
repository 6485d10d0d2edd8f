// The state of a list box, shared by its procedure (ListBox.cpp), its view
// (ListBoxView.cpp) and the up-down control that may drive it as a spinner.
#pragma once

#include <vector>

#include "platform/controls/ControlState.h"

namespace platform::controls {

struct ListItem {
    WideString text;
    LPARAM data = 0;
};

struct ListBoxState : ControlState {
    static constexpr Kind kKind = Kind::ListBox;
    ListBoxState() : ControlState(kKind) {}
    std::vector<ListItem> items;
    int current = -1;
    int top = 0;
    HWND spinner = nullptr;  // the up-down control whose buddy this is
    HFONT measuredFont = nullptr;
    int itemHeight = 16;
};

// The most items a list box holds (LB_ERRSPACE beyond).
constexpr std::size_t kMaxListItems = 1u << 20;

// Makes `list` (when it is a list box) draw and behave as the one-line value
// of `spinner`; ClearSpinnerOf ends that when `spinner` is still the one.
// True when `list` is a list box.
bool SetSpinnerOf(HWND list, HWND spinner);
void ClearSpinnerOf(HWND list, HWND spinner);
bool IsSpinnerList(const ListBoxState& state);

// View.
int ItemHeight(HWND window, ListBoxState& state);
int VisibleRows(HWND window, ListBoxState& state);
void KeepCurrentVisible(HWND window, ListBoxState& state);
void PaintListBox(HWND window, ListBoxState& state);

}  // namespace platform::controls
