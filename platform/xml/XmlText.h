// Values stored as the text of an element, as the skin, icon and smiley
// files keep them: a value is present only when its element exists, has
// exactly one child node, and that child is plain text. An empty element, a
// CDATA section, a comment or a nested element beside or instead of the text
// makes the value absent, so that the reader keeps its current value.
#pragma once

#include <optional>
#include <string_view>

#include "platform/base/Types.h"
#include "platform/xml/XmlNode.h"

namespace platform::xml {

// The element's value under the rule above, or none.
std::optional<WideString> SingleTextValue(const XmlNode& element);

// The value of the first child element of parent with exactly this name
// (names are compared case-sensitively), or none.
std::optional<WideString> ChildTextValue(const XmlNode& parent, std::u16string_view name);

}  // namespace platform::xml
