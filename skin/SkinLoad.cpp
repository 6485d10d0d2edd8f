// Reading a skin file and its override file into a Skin.
#include <optional>

#include "platform/base/WideString.h"
#include "platform/xml/XmlDocument.h"
#include "platform/xml/XmlText.h"
#include "skin/ResourceFolder.h"
#include "skin/Skin.h"

namespace skin {
namespace {

using platform::xml::ChildTextValue;
using platform::xml::XmlNode;

void ReadColour(const XmlNode& parent, std::u16string_view name, COLORREF& field)
{
    if (auto text = ChildTextValue(parent, name)) {
        if (auto colour = ParseColour(*text))
            field = *colour;
    }
}

void ReadInteger(const XmlNode& parent, std::u16string_view name, int& field)
{
    if (auto text = ChildTextValue(parent, name)) {
        if (auto value = ParseInteger(*text))
            field = *value;
    }
}

void ReadText(const XmlNode& parent, std::u16string_view name, WideString& field)
{
    if (auto text = ChildTextValue(parent, name))
        field = *text;
}

// An image field is emptied first and gets an image only for a non-empty
// name.
void ReadImage(const XmlNode& parent, std::u16string_view name, const WideString& folder, RefPtr<SkinImage>& field)
{
    field = nullptr;
    auto text = ChildTextValue(parent, name);
    if (text && !text->empty())
        field = MakeRef<SkinImage>(folder, *text);
}

// A present section gets a new font: the face from "fontname" (empty when
// absent: the platform's face), size and weight kept when absent or
// unreadable.
void ReadSectionFont(const XmlNode& section, SkinFont& font)
{
    int size = font.BaseSize();
    ReadInteger(section, u"fontsize", size);
    LONG weight = font.BaseWeight();
    if (auto text = ChildTextValue(section, u"fontbold")) {
        if (auto bold = ParseBoldFlag(*text))
            weight = *bold;
    }
    font.Rebuild(ChildTextValue(section, u"fontname").value_or(WideString()), size, weight);
}

// The override of a font: the face from "fontname" (none when absent); size
// and weight kept when absent or unreadable.
void ReadFontOverrides(const XmlNode& section, SkinFont& font)
{
    font.SetOverrideFace(ChildTextValue(section, u"fontname").value_or(WideString()));
    int size = font.OverrideSize();
    ReadInteger(section, u"fontsize", size);
    font.SetOverrideSize(size);
    if (auto text = ChildTextValue(section, u"fontbold")) {
        if (auto bold = ParseBoldFlag(*text))
            font.SetOverrideWeight(*bold);
    }
}

// The root element "skin" of a set file, or null when the file is missing,
// too large or not well-formed.
XmlNode LoadRoot(platform::xml::XmlDocument& document, const WideString& path)
{
    if (path.empty() || FileSizeOf(path) > kMaxSetFileBytes || !document.LoadFile(path))
        return {};
    XmlNode root = document.DocumentElement();
    return root.Name() == u"skin" ? root : XmlNode();
}

std::u16string Upper(std::u16string text)
{
    for (char16_t& c : text) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return text;
}

}  // namespace

bool Skin::Load(const WideString& folderName, const WideString& skinFileName)
{
    folder = folderName;
    fileName = skinFileName;
    WideString path = JoinPath(folder, fileName);
    if (path.empty())
        return false;
    {
        platform::xml::XmlDocument document;
        if (XmlNode root = LoadRoot(document, path)) {
            ReadValues(root);
            ReadBarOrder(root);
        }
    }
    {
        platform::xml::XmlDocument document;
        if (XmlNode root = LoadRoot(document, JoinPath(folder, u"Override." + fileName)))
            ReadOverrides(root);
    }
    ApplyHiddenBars();
    MakeBrushes();
    return true;
}

void Skin::ReadValues(const XmlNode& root)
{
    ReadText(root, u"desc", description);
    ReadColour(root, u"bgcolor", backgroundColour);
    ReadImage(root, u"bgimage", folder, backgroundImage);

    if (XmlNode list = root.ChildElement(u"contactlist"))
        ReadListSection(list);
    if (XmlNode status = root.ChildElement(u"status")) {
        ReadColour(status, u"fgcolor", statusTextColour);
        ReadInteger(status, u"height", statusHeight);
        ReadInteger(status, u"textoffset", statusTextOffset);
        ReadSectionFont(status, statusFont);
    }
    if (XmlNode toolbar = root.ChildElement(u"toolbar")) {
        ReadColour(toolbar, u"bgcolor", toolbarColour);
        ReadColour(toolbar, u"selbgcolor", toolbarSelectedColour);
        ReadInteger(toolbar, u"height", toolbarHeight);
    }
    if (XmlNode images = root.ChildElement(u"toolbarimages")) {
        ReadInteger(images, u"size", toolbarButtonWidth);
        for (std::size_t i = 0; i < kToolbarSlotCount; ++i)
            ReadImage(images, ToolbarSlotName(static_cast<ToolbarSlot>(i)), folder, toolbarImages[i]);
    }
    if (XmlNode chat = root.ChildElement(u"chat")) {
        ReadColour(chat, u"bgcolor", chatBackgroundColour);
        ReadImage(chat, u"bgimage", folder, chatBackgroundImage);
        ReadColour(chat, u"selfcolor", ownMessageColour);
        ReadColour(chat, u"buddycolor", contactMessageColour);
        ReadInteger(chat, u"msgareaheight", messageAreaHeight);
        ReadInteger(chat, u"smileiconspacing", smileySpacing);
        ReadSectionFont(chat, chatFont);
    }
    if (XmlNode userInfo = root.ChildElement(u"userinfo"))
        ReadSectionFont(userInfo, userInfoFont);
}

void Skin::ReadListSection(const XmlNode& list)
{
    ReadColour(list, u"bgcolor", listBackgroundColour);
    ReadImage(list, u"bgimage", folder, listBackgroundImage);
    ReadColour(list, u"onlinecolor", onlineColour);
    ReadColour(list, u"offlinecolor", offlineColour);
    ReadColour(list, u"selbgcolor", selectedRowColour);
    ReadColour(list, u"selbordercolor", selectedBorderColour);
    ReadInteger(list, u"contactheight", contactHeight);
    ReadSectionFont(list, listFont);
    ReadImage(list, u"chatimage", folder, chatMarker);
    ReadImage(list, u"msgimage", folder, messageMarker);
    ReadImage(list, u"typingimage", folder, typingMarker);
    ReadImage(list, u"authimage", folder, authorisationMarker);
}

// The bars take positions 1, 2, 3 in the order their sections occur; a bar
// whose section is missing keeps its built-in position.
void Skin::ReadBarOrder(const XmlNode& root)
{
    int next = 1;
    for (XmlNode node = root.FirstChild(); node && next <= 3; node = node.NextSibling()) {
        std::u16string name = Upper(node.Name());
        if (name == u"CONTACTLIST")
            m_contactListPosition = next++;
        else if (name == u"STATUS")
            m_statusPosition = next++;
        else if (name == u"TOOLBAR")
            m_toolbarPosition = next++;
    }
}

void Skin::ReadOverrides(const XmlNode& root)
{
    XmlNode list = root.ChildElement(u"contactlist");
    ReadInteger(list, u"contactheight", contactHeightOverride);
    ReadFontOverrides(list, listFont);
    ReadFontOverrides(root.ChildElement(u"status"), statusFont);
    XmlNode chat = root.ChildElement(u"chat");
    ReadInteger(chat, u"msgareaheight", messageAreaHeightOverride);
    ReadFontOverrides(chat, chatFont);
    ReadInteger(root.ChildElement(u"toolbar"), u"height", toolbarHeightOverride);
    ReadFontOverrides(root.ChildElement(u"userinfo"), userInfoFont);
}

}  // namespace skin
