// Arbitrary bytes as the configuration manager's answer and as a home-screen
// scheme. Reading never fails hard; a scheme that reads is given the
// plug-in's row, which then stands under `home` exactly once, beside the same
// other rows, under titles that all carry the program's mark.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "home/SchemeBuilder.h"
#include "platform/base/WideString.h"

namespace {

using platform::xml::NodeKind;
using platform::xml::XmlNode;

int CountOwnRows(const XmlNode& homeElement)
{
    int count = 0;
    for (const XmlNode& child : homeElement.Children()) {
        if (child.Kind() == NodeKind::Element && child.Name() == u"plugin" &&
            child.Attribute(u"clsid") == WideString(home::kPluginClassId))
            ++count;
    }
    return count;
}

bool TitlesMarked(const XmlNode& homeElement)
{
    for (const XmlNode& child : homeElement.Children()) {
        if (child.Kind() == NodeKind::Element && child.Name() == u"title" && !child.Text().starts_with(u"Corvane"))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    WideString text = platform::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
    WideString error;
    WideString path = home::SchemePathFromAnswer(text, error);
    if (error.empty() == path.empty())
        std::abort();

    home::SchemeInfo info;
    info.path = u"/device/Application Data/Home/Corvane7.fuzz.xml";
    info.document = std::make_unique<platform::xml::XmlDocument>();
    if (!info.document->LoadText(text) || !home::ReadScheme(info))
        return 0;
    home::PluginPlacement placement;
    placement.position = size > 0 ? data[0] % 8 : 0;
    placement.borderMode = size > 1 ? data[1] % 3 : 0;
    home::PlacePlugin(*info.document, placement, info.oldScheme);

    home::SchemeInfo again;
    again.path = info.path;
    again.document = std::move(info.document);
    XmlNode homeElement = again.document->DocumentElement();
    if (!home::ReadScheme(again) || CountOwnRows(homeElement) != 1 || again.ownPosition < 0 ||
        again.otherPlugins != info.otherPlugins || !TitlesMarked(homeElement))
        std::abort();
    return 0;
}
