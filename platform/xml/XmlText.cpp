#include "platform/xml/XmlText.h"

namespace platform::xml {

std::optional<WideString> SingleTextValue(const XmlNode& element)
{
    if (element.Kind() != NodeKind::Element)
        return std::nullopt;
    XmlNode only = element.FirstChild();
    if (only.Kind() != NodeKind::Text || only.NextSibling())
        return std::nullopt;
    return only.Text();
}

std::optional<WideString> ChildTextValue(const XmlNode& parent, std::u16string_view name)
{
    return SingleTextValue(parent.ChildElement(name));
}

}  // namespace platform::xml
