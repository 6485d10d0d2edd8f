// The layout-item constructors dialogs are written with. Each fixes its
// control's style and height rule; any wrapper constructed directly is a
// free control item with the caller's style and rules.
#pragma once

#include "ui/framework/ControlWindows.h"

// Auto check box (child, visible, tab stop): 3 pixels + 1 line high.
RefPtr<CheckBoxWindow> CheckBoxItem(int id, WideString caption, WidthRule width);
// Left-aligned label without word wrap: heightPixels + 1 line high.
RefPtr<StaticWindow> LabelItem(int id, WideString caption, WidthRule width, short heightPixels = 0);
// Edit box (child, visible, tab stop) with the caller's edit styles.
RefPtr<TextBoxWindow> EditItem(int id, DWORD editStyles, WidthRule width, HeightRule height);
// Spinner 10 pixels wide, 2 pixels + 1 line high, attached to its buddy.
RefPtr<UpDownWindow> SpinItem(int id, DWORD style, RefPtr<ControlItem> buddy);

RefPtr<CursorMove> MoveRight(WidthRule x);
RefPtr<CursorMove> MoveDown(HeightRule y);
RefPtr<CursorMove> MoveRightDown(WidthRule x, HeightRule y);
RefPtr<CursorPop> MoveBack(std::int32_t count);
