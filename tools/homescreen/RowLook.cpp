#include "tools/homescreen/RowLook.h"

#include <cstdio>

#include "platform/base/WideString.h"
#include "tools/homescreen/PluginSite.h"

namespace homescreen {

namespace {

std::optional<int> Number(const platform::xml::XmlNode& node, std::u16string_view name, int low, int high)
{
    std::optional<WideString> text = node.Attribute(name);
    if (!text || text->empty() || text->size() > 4)
        return std::nullopt;
    int value = 0;
    for (char16_t c : *text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return value < low || value > high ? std::nullopt : std::optional<int>(value);
}

void Colour(const platform::xml::XmlNode& node, std::u16string_view name, COLORREF& colour)
{
    if (std::optional<COLORREF> named = PaletteColour(node.Attribute(name).value_or(WideString())))
        colour = *named;
}

HFONT MakeFont(const RowLook& look)
{
    LOGFONTW font{};
    font.lfHeight = look.fontSize;
    font.lfWeight = look.bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    std::u16string_view face = u"Nina";
    face.copy(font.lfFaceName, face.size());
    return CreateFontIndirectW(&font);
}

void DrawLine(HDC dc, const WideString& text, RECT area, UINT alignment)
{
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
                DT_SINGLELINE | DT_NOPREFIX | DT_TOP | DT_END_ELLIPSIS | alignment);
}

}  // namespace

RowLook LookOf(const platform::xml::XmlNode& format)
{
    RowLook look;
    look.fontSize = Number(format, u"font-size", 6, 64).value_or(look.fontSize);
    look.bold = format.Attribute(u"font-weight").value_or(WideString()) == u"bold" ||
                format.Attribute(u"font-weight").value_or(WideString()) == u"BOLD";
    look.paddingLeft = Number(format, u"padding-left", 0, 64).value_or(look.paddingLeft);
    look.paddingTop = Number(format, u"padding-top", 0, 64).value_or(look.paddingTop);
    Colour(format, u"fgcolor", look.text);
    look.background = PaletteColour(format.Attribute(u"bgcolor").value_or(WideString()));
    if (platform::xml::XmlNode selected = format.SelectSingleNode(u"format[@state='selected']")) {
        Colour(selected, u"fgcolor", look.selectedText);
        Colour(selected, u"bgcolor", look.selectedBackground);
    }
    return look;
}

WideString DateText(const SYSTEMTIME& time)
{
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[32];
    std::snprintf(text, sizeof text, "%s %u %s %u", days[time.wDayOfWeek % 7], time.wDay,
                  months[(time.wMonth + 11) % 12], time.wYear);
    return platform::Utf8ToWide(text);
}

WideString TimeText(const SYSTEMTIME& time)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02u:%02u", time.wHour % 24u, time.wMinute % 60u);
    return platform::Utf8ToWide(text);
}

WideString PlaceholderText(const SchemeRow& row)
{
    return (row.name.empty() ? WideString(u"Plug-in") : row.name.substr(0, 32)) + u" unavailable";
}

void PaintOwnRow(HDC dc, const SchemeRow& row, const RECT& rect, bool selected, const RowLook& look,
                 const SYSTEMTIME& now)
{
    std::optional<COLORREF> background = selected ? look.selectedBackground : look.background;
    if (background) {
        HBRUSH brush = CreateSolidBrush(*background);
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
    HFONT font = MakeFont(look);
    HGDIOBJ oldFont = SelectObject(dc, font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    bool dimmed = row.kind == RowKind::Plugin;
    COLORREF oldColour = SetTextColor(dc, selected ? look.selectedText : dimmed ? look.dimmed : look.text);
    RECT area{rect.left + look.paddingLeft, rect.top + look.paddingTop, rect.right - look.paddingLeft, rect.bottom};
    switch (row.kind) {
    case RowKind::DateTime:
        DrawLine(dc, DateText(now), area, DT_LEFT);
        DrawLine(dc, TimeText(now), area, DT_RIGHT);
        break;
    case RowKind::Operator:
        DrawLine(dc, row.name.empty() ? WideString(u"No service") : row.name, area, DT_LEFT);
        break;
    case RowKind::Plugin:
        DrawLine(dc, PlaceholderText(row), area, DT_LEFT);
        break;
    }
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    DeleteObject(font);
}

}  // namespace homescreen
