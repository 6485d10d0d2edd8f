// Arbitrary bytes as the plug-in's saved record. A record read whole writes
// back to bytes that read the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "plugin/PluginSettings.h"

namespace {

bool Same(const plugin::PluginSettings& a, const plugin::PluginSettings& b)
{
    return a.pluginHandle == b.pluginHandle && a.height == b.height && a.autoHeight == b.autoHeight &&
           a.borderMode == b.borderMode && a.fontFace == b.fontFace && a.fontSize == b.fontSize &&
           a.fontWeight == b.fontWeight && a.paddingLeft == b.paddingLeft && a.paddingTop == b.paddingTop &&
           a.background == b.background && a.textColour == b.textColour &&
           a.selectedBackground == b.selectedBackground && a.selectedText == b.selectedText &&
           a.borderColour == b.borderColour && a.borderWidth == b.borderWidth;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    plugin::DecodedRecord record = plugin::DecodeRecord(std::span(data, size));
    const plugin::PluginSettings& s = record.settings;
    for (const WideString* text : {&s.fontFace, &s.fontWeight, &s.background, &s.textColour, &s.selectedBackground,
                                   &s.selectedText, &s.borderColour}) {
        if (text->size() > plugin::kMaxFieldText)
            std::abort();
    }
    plugin::DecodedRecord again = plugin::DecodeRecord(plugin::EncodeRecord(s));
    if (!again.complete || !Same(again.settings, s))
        std::abort();
    return 0;
}
