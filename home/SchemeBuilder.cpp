#include "home/SchemeBuilder.h"

#include <string>
#include <vector>

#include "platform/base/Device.h"
#include "platform/base/WideString.h"
#include "platform/config/ConfigManager.h"
#include "platform/text/CaseMapping.h"

namespace home {

namespace {

using platform::xml::NodeKind;
using platform::xml::XmlDocument;
using platform::xml::XmlNode;

constexpr std::u16string_view kOwnName = u"Corvane";
constexpr std::u16string_view kTitleMark = u"Corvane - ";
// The own name's length: an own file name's rest starts at the first '.'
// from here on.
constexpr std::size_t kRestFrom = 7;

std::vector<XmlNode> ChildElements(const XmlNode& parent, std::u16string_view name)
{
    std::vector<XmlNode> found;
    for (const XmlNode& child : parent.Children()) {
        if (child.Kind() == NodeKind::Element && child.Name() == name)
            found.push_back(child);
    }
    return found;
}

void MarkTitles(const XmlNode& homeElement)
{
    for (XmlNode& title : ChildElements(homeElement, u"title")) {
        WideString text = title.Text();
        if (!text.starts_with(kOwnName))
            title.SetText(WideString(kTitleMark) + text);
    }
}

// Removes every `plugin` element of the plug-in's class, at any depth, so
// that the scheme never shows the row twice.
void RemoveOwnElements(const XmlNode& parent)
{
    for (const XmlNode& child : parent.Children()) {
        if (child.Kind() != NodeKind::Element)
            continue;
        bool own = child.Name() == u"plugin" &&
                   platform::ToUpper(child.Attribute(u"clsid").value_or(u"")) == kPluginClassId;
        if (own)
            XmlNode(parent).RemoveChild(child);
        else
            RemoveOwnElements(child);
    }
}

XmlNode NewPluginElement(XmlDocument& document, const PluginPlacement& placement, const WideString& oldScheme)
{
    XmlNode plugin = document.CreateElement(u"plugin");
    plugin.SetAttribute(u"clsid", kPluginClassId);
    plugin.SetAttribute(u"name", kOwnName);
    plugin.SetAttribute(u"height", placement.height);
    plugin.SetAttribute(u"autoheight", placement.autoHeight ? u"True" : u"False");
    if (placement.borderMode != 0)
        plugin.SetAttribute(u"show-b-border", platform::Utf8ToWide(std::to_string(placement.borderMode)));
    if (!oldScheme.empty()) {
        XmlNode old = plugin.AppendChild(document.CreateElement(u"oldschema"));
        old.SetText(oldScheme);
    }
    return plugin;
}

// Escapes the characters that cannot stand in a quoted attribute value.
WideString AttributeText(const WideString& text)
{
    WideString escaped;
    for (WCHAR c : text) {
        switch (c) {
        case u'&': escaped += u"&amp;"; break;
        case u'<': escaped += u"&lt;"; break;
        case u'>': escaped += u"&gt;"; break;
        case u'"': escaped += u"&quot;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

// The Home folder of the application-data folder with a trailing separator;
// false when the device has no application-data folder.
bool HomeFolder(WideString& folder)
{
    WCHAR buffer[MAX_PATH] = {};
    if (!SHGetSpecialFolderPath(nullptr, buffer, CSIDL_APPDATA, TRUE))
        return false;
    folder = buffer;
    if (folder.empty() || folder.back() != u'/')
        folder += u'/';
    folder += u"Home/";
    return true;
}

}  // namespace

WideString NewSchemeFileName(const SchemeInfo& info)
{
    WideString name(kOwnName);
    if (info.number >= 0)
        name += platform::Utf8ToWide(std::to_string(info.number + 1));
    WideString current = FileNameOf(info.path);
    if (!info.isOwn) {
        name += u'.';
        name += current;
    } else if (std::size_t dot = current.find(u'.', kRestFrom); dot != WideString::npos) {
        name += current.substr(dot);
    }
    return name;
}

void PlacePlugin(XmlDocument& document, const PluginPlacement& placement, const WideString& oldScheme)
{
    XmlNode homeElement = document.DocumentElement();
    MarkTitles(homeElement);
    RemoveOwnElements(homeElement);
    XmlNode plugin = NewPluginElement(document, placement, oldScheme);
    std::vector<XmlNode> others = ChildElements(homeElement, u"plugin");
    if (placement.position >= 0 && static_cast<std::size_t>(placement.position) < others.size())
        homeElement.InsertBefore(plugin, others[static_cast<std::size_t>(placement.position)]);
    else
        homeElement.AppendChild(plugin);
}

WideString SaveNewScheme(SchemeInfo& info, const PluginPlacement& placement, const WideString& oldScheme,
                         WideString& error)
{
    if (!info.document) {
        error = errors::kCreateDocument;
        return {};
    }
    WideString folder;
    if (!HomeFolder(folder)) {
        error = errors::kAppFolder;
        return {};
    }
    PlacePlugin(*info.document, placement, oldScheme);
    WideString path = folder + NewSchemeFileName(info);
    if (!platform::MakeFolders(platform::WideToUtf8(folder)) || !info.document->Save(path)) {
        error = errors::kSaveScheme;
        return {};
    }
    return path;
}

WideString SetSchemeDocument(const WideString& path)
{
    return u"<wap-provisioningdoc><characteristic type=\"Home\"><characteristic type=\"HKCU\\ControlPanel\\Home\">"
           u"<parm name=\"Scheme\" value=\"" +
           AttributeText(path) + u"\"/></characteristic></characteristic></wap-provisioningdoc>";
}

WideString ApplyScheme(const WideString& path)
{
    LPWSTR answer = nullptr;
    HRESULT result = DMProcessConfigXML(SetSchemeDocument(path).c_str(), CFGFLAG_PROCESS, &answer);
    delete[] answer;
    return SUCCEEDED(result) ? WideString() : WideString(errors::kApply);
}

}  // namespace home
