// How the home screen draws its own rows (the built-in rows, placeholders
// of plug-ins that did not load): font, padding and colours from the
// scheme's default format, as the plug-ins read them too.
#pragma once

#include "platform/gdi/Gdi.h"
#include "platform/xml/XmlNode.h"
#include "tools/homescreen/Scheme.h"

namespace homescreen {

struct RowLook {
    int fontSize = 14;
    bool bold = false;
    int paddingLeft = 4;
    int paddingTop = 3;
    COLORREF text = RGB(0x10, 0x10, 0x40);
    std::optional<COLORREF> background;  // none: transparent
    COLORREF selectedText = RGB(0xFF, 0xFF, 0xFF);
    COLORREF selectedBackground = RGB(0x20, 0x50, 0xB0);
    COLORREF dimmed = RGB(0x90, 0x90, 0x90);
};

// The look of a default format node (null gives the defaults). Values that
// do not parse or lie outside sane bounds keep the default.
RowLook LookOf(const platform::xml::XmlNode& format);

// "Tue 8 Dec 2026" and "06:15".
WideString DateText(const SYSTEMTIME& time);
WideString TimeText(const SYSTEMTIME& time);

// Paints a row the home screen draws itself into `rect`: the date at the
// left and the time at the right, the operator's name, or a plug-in's
// placeholder (its name, dimmed).
void PaintOwnRow(HDC dc, const SchemeRow& row, const RECT& rect, bool selected, const RowLook& look,
                 const SYSTEMTIME& now);

// The placeholder of a plug-in row whose object could not be made.
WideString PlaceholderText(const SchemeRow& row);

}  // namespace homescreen
