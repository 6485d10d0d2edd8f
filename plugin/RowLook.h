// Colours and texts of the row, worked out from the settings and the
// program's state.
#pragma once

#include <functional>
#include <optional>

#include "platform/gdi/Gdi.h"
#include "plugin/PluginSettings.h"
#include "plugin/StateMessage.h"

namespace plugin {

// A colour text: "#RRGGBB" (each character 1-9 or A-F gives its value, any
// other counts as 0; missing characters count as 0), otherwise a name the
// home screen resolves through `byName`. A name it cannot resolve takes a
// fixed colour of that role.
COLORREF ResolveColour(const WideString& text, const std::function<std::optional<COLORREF>(const WideString&)>& byName);

// "Online (5)": the text and, unless the count is -1, the count.
WideString BlockText(const ServiceBlock& block);

// The width of the bottom border for the border mode.
int BorderWidth(const PluginSettings& settings);

// Up-cases a layout value and cuts it to what a field holds.
WideString FieldText(std::u16string_view value);

}  // namespace plugin
