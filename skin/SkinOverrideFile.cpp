// Writing the override file: the user's own sizes beside the skin file.
#include <string>

#include "platform/xml/XmlDocument.h"
#include "skin/ResourceFolder.h"
#include "skin/Skin.h"

namespace skin {
namespace {

using platform::xml::XmlDocument;
using platform::xml::XmlNode;

WideString Decimal(int value)
{
    std::string text = std::to_string(value);
    return WideString(text.begin(), text.end());
}

void AddValue(XmlDocument& document, XmlNode& parent, std::u16string_view name, const WideString& text)
{
    XmlNode element = document.CreateElement(name);
    element.SetText(text);
    parent.AppendChild(element);
}

void AddFontOverrides(XmlDocument& document, XmlNode& section, const SkinFont& font)
{
    if (!font.OverrideFace().empty())
        AddValue(document, section, u"fontname", font.OverrideFace());
    if (font.OverrideSize() != 0)
        AddValue(document, section, u"fontsize", Decimal(font.OverrideSize()));
    if (font.OverrideWeight() != 0)
        AddValue(document, section, u"fontbold", font.OverrideWeight() >= FW_BOLD ? u"1" : u"0");
}

}  // namespace

bool Skin::SaveOverrides() const
{
    WideString path = JoinPath(folder, fileName.empty() ? WideString() : u"Override." + fileName);
    if (path.empty())
        return false;
    XmlDocument document;
    XmlNode root = document.Node().AppendChild(document.CreateElement(u"skin"));
    XmlNode sections[5];
    const std::u16string_view names[5] = {u"contactlist", u"status", u"toolbar", u"chat", u"userinfo"};
    for (int i = 0; i < 5; ++i)
        sections[i] = root.AppendChild(document.CreateElement(names[i]));

    if (contactHeightOverride != 0)
        AddValue(document, sections[0], u"contactheight", Decimal(contactHeightOverride));
    AddFontOverrides(document, sections[0], listFont);
    AddFontOverrides(document, sections[1], statusFont);
    if (toolbarHeightOverride != -1)
        AddValue(document, sections[2], u"height", Decimal(toolbarHeightOverride));
    if (messageAreaHeightOverride != 0)
        AddValue(document, sections[3], u"msgareaheight", Decimal(messageAreaHeightOverride));
    AddFontOverrides(document, sections[3], chatFont);
    AddFontOverrides(document, sections[4], userInfoFont);
    return document.Save(path);
}

}  // namespace skin
