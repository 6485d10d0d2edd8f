// The row layout the user-information and search windows share: a label, the
// value control 9 average characters to the right (room for "First name" in
// the screen's font), filling the width, and the next row 2 pixels and a
// line lower.
#pragma once

#include <cstdint>

#include "ui/framework/DialogBase.h"
#include "ui/framework/Items.h"

namespace infolayout {

// Edit styles of the value fields.
constexpr DWORD kReadOnly = 0x0800;    // ES_READONLY
constexpr DWORD kAutoScroll = 0x0080;  // ES_AUTOHSCROLL
constexpr DWORD kMultiLine = 0x0004;   // ES_MULTILINE
constexpr DWORD kDigitsOnly = 0x2000;  // ES_NUMBER

// The value column: 100% less 4 pixels less the label column.
constexpr short kLabelChars = 9;
constexpr WidthRule kValueWidth{100, -4, -kLabelChars, 0};
constexpr HeightRule kLineHeight{0, 1, 1};

// The first move of both windows: 2 pixels right, 1 pixel down.
void Start(DialogBase& dialog);

// Label `labelId`, then `value` in the value column; the cursor ends at the
// start of the next row.
void Row(DialogBase& dialog, int labelId, const WideString& caption, const RefPtr<ControlItem>& value);

// Label and an edit box with the given styles; returns the edit.
RefPtr<TextBoxWindow> EditRow(DialogBase& dialog, int labelId, const WideString& caption, DWORD editStyles);

// A full-width status line (read by tests and shown to the user: waiting,
// nothing found, no answer).
RefPtr<StaticWindow> StatusLine(DialogBase& dialog, int id);

// The 32-bit number of a UIN text; 0 when the text is not digits or the
// number does not fit in 32 bits.
std::uint32_t UinNumber(const WideString& text);

// The text of a control, at most `limit` characters.
WideString ControlText(HWND control, int limit = 4096);

}  // namespace infolayout
