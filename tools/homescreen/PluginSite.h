// What the home screen offers its plug-ins, and how it makes them: the site
// handed to every plug-in object (redraw requests, the scheme's colours by
// name), and the creation of a plug-in's object from the device registry.
#pragma once

#include <functional>

#include "platform/com/HomeScreen.h"

namespace homescreen {

// The colour of a name of the home screen's palette ("COLOR_HOMETEXT",
// "COLOR_HOMEHIGHLIGHT", "COLOR_HOMEHIGHLIGHTTEXT", "COLOR_HOMERULE"), or
// "#RRGGBB"; nothing for other texts.
std::optional<COLORREF> PaletteColour(std::u16string_view name);

// The site. It lives as long as the home screen and does not count its
// references: plug-ins release it before it goes.
class PluginSite final : public IHomePluginEnvironment, public IHomePluginEnvironment2 {
public:
    // `redraw` is called with the plug-in handle of each redraw request.
    explicit PluginSite(std::function<void(DWORD plugin)> redraw) : m_redraw(std::move(redraw)) {}

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT InvalidatePlugin(DWORD plugin, BOOL resize) override;
    HRESULT GetFont(DWORD plugin, const WCHAR* name, HFONT* font) override;
    HRESULT GetColorRef(DWORD plugin, const WCHAR* name, COLORREF* color) override;
    HRESULT GetColor(DWORD plugin, const WCHAR* name, COLORREF* color) override;

private:
    std::function<void(DWORD)> m_redraw;
};

// A plug-in object of class `classId` from the library the registry names
// for it, given `site` and initialised with its scheme element and the
// scheme's default format (either may be null), its saved record written
// and read back. Null on any failure, with the result in *result.
IHomePlugin* CreateHomePlugin(const CLSID& classId, PluginSite& site, DWORD handle,
                              const platform::xml::XmlNode* pluginNode, const platform::xml::XmlNode* formatNode,
                              HRESULT* result);

}  // namespace homescreen
