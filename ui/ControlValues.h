// Reading and writing the values of a dialog's controls by id: check boxes,
// edit boxes and list boxes.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"

namespace ui {

void SetChecked(HWND dialog, int id, bool checked);
bool IsChecked(HWND dialog, int id);

// Sets the text and puts the caret at its end.
void SetEditText(HWND dialog, int id, const WideString& text);
// At most maxChars characters of the control's text.
WideString EditText(HWND dialog, int id, std::size_t maxChars);

// Fills a list box with the texts in order and selects `selected` (none
// when it is negative or out of range).
void FillList(HWND dialog, int id, const std::vector<WideString>& texts, int selected);
// The selected index, or -1.
int ListSelection(HWND dialog, int id);

// A number as decimal text, for an edit box.
WideString DecimalText(int value);

// Decimal digits at the start of the text (after optional spaces), limited
// to `ceiling`; 0 when the text starts with no digit.
int LeadingNumber(std::u16string_view text, int ceiling);

}  // namespace ui
