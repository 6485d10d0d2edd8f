#include "plugin/RowLook.h"

#include <string>

#include "platform/base/WideString.h"
#include "platform/text/CaseMapping.h"

namespace plugin {

namespace {

int HexValue(WCHAR c)
{
    if (c >= u'1' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return 0;
}

// The colour of a role when the home screen cannot name it.
COLORREF FallbackColour(const WideString& name)
{
    if (name == u"COLOR_HOMEHIGHLIGHT")
        return RGB(0x31, 0x6A, 0xC5);
    if (name == u"COLOR_HOMEHIGHLIGHTTEXT")
        return RGB(0xFF, 0xFF, 0xFF);
    if (name == u"COLOR_HOMERULE")
        return RGB(0x80, 0x80, 0x80);
    return RGB(0, 0, 0);
}

}  // namespace

COLORREF ResolveColour(const WideString& text, const std::function<std::optional<COLORREF>(const WideString&)>& byName)
{
    if (!text.empty() && text[0] == u'#') {
        int digits[6] = {};
        for (std::size_t i = 0; i < 6 && i + 1 < text.size(); ++i)
            digits[i] = HexValue(text[i + 1]);
        return RGB(static_cast<BYTE>(digits[0] * 16 + digits[1]), static_cast<BYTE>(digits[2] * 16 + digits[3]),
                   static_cast<BYTE>(digits[4] * 16 + digits[5]));
    }
    if (byName) {
        if (std::optional<COLORREF> colour = byName(text))
            return *colour;
    }
    return FallbackColour(text);
}

WideString BlockText(const ServiceBlock& block)
{
    WideString text = block.text;
    if (block.count != -1)
        text += platform::Utf8ToWide(" (" + std::to_string(block.count) + ")");
    return text;
}

int BorderWidth(const PluginSettings& settings)
{
    if (settings.borderMode == 1)
        return settings.borderWidth == 0 ? 1 : settings.borderWidth;
    if (settings.borderMode == 2)
        return 0;
    return settings.borderWidth;
}

WideString FieldText(std::u16string_view value)
{
    WideString text = platform::ToUpper(value);
    if (text.size() > kMaxFieldText)
        text.resize(kMaxFieldText);
    return text;
}

}  // namespace plugin
