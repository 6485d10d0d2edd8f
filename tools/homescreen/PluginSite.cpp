#include "tools/homescreen/PluginSite.h"

#include <string_view>

#include "platform/com/MemoryStream.h"

namespace homescreen {

namespace {

struct NamedColour {
    std::u16string_view name;
    COLORREF colour;
};

constexpr NamedColour kPalette[] = {{u"COLOR_HOMETEXT", RGB(0x10, 0x10, 0x40)},
                                    {u"COLOR_HOMEHIGHLIGHT", RGB(0x20, 0x50, 0xB0)},
                                    {u"COLOR_HOMEHIGHLIGHTTEXT", RGB(0xFF, 0xFF, 0xFF)},
                                    {u"COLOR_HOMERULE", RGB(0x90, 0x90, 0x90)}};

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

// The home screen keeps a plug-in's settings as its saved record: written
// once initialised and read back, which is also what starts a plug-in's
// own work (a plug-in may wait for its record before it listens for data).
void KeepRecord(IHomePlugin* plugin)
{
    IPersistStream* persist = nullptr;
    if (FAILED(plugin->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist))) || persist == nullptr)
        return;
    platform::com::MemoryStream* stream = platform::com::MemoryStream::Create();
    if (SUCCEEDED(persist->Save(stream, TRUE))) {
        stream->Rewind();
        persist->Load(stream);
    }
    stream->Release();
    persist->Release();
}

}  // namespace

std::optional<COLORREF> PaletteColour(std::u16string_view name)
{
    if (name.size() == 7 && name[0] == u'#') {
        int channels[3] = {};
        for (int i = 0; i < 3; ++i) {
            int high = HexDigit(name[1 + 2 * i]);
            int low = HexDigit(name[2 + 2 * i]);
            if (high < 0 || low < 0)
                return std::nullopt;
            channels[i] = high * 16 + low;
        }
        return RGB(channels[0], channels[1], channels[2]);
    }
    for (const NamedColour& entry : kPalette) {
        if (entry.name == name)
            return entry.colour;
    }
    return std::nullopt;
}

HRESULT PluginSite::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IHomePluginEnvironment)
        *object = static_cast<IHomePluginEnvironment*>(this);
    else if (iid == IID_IHomePluginEnvironment2)
        *object = static_cast<IHomePluginEnvironment2*>(this);
    else
        return *object = nullptr, E_NOINTERFACE;
    return S_OK;
}

HRESULT PluginSite::InvalidatePlugin(DWORD plugin, BOOL)
{
    if (m_redraw)
        m_redraw(plugin);
    return S_OK;
}

HRESULT PluginSite::GetFont(DWORD, const WCHAR*, HFONT*) { return E_NOTIMPL; }

HRESULT PluginSite::GetColorRef(DWORD plugin, const WCHAR* name, COLORREF* color)
{
    return GetColor(plugin, name, color);
}

HRESULT PluginSite::GetColor(DWORD, const WCHAR* name, COLORREF* color)
{
    if (name == nullptr || color == nullptr)
        return E_POINTER;
    std::optional<COLORREF> colour = PaletteColour(name);
    if (!colour)
        return E_FAIL;
    *color = *colour;
    return S_OK;
}

IHomePlugin* CreateHomePlugin(const CLSID& classId, PluginSite& site, DWORD handle,
                              const platform::xml::XmlNode* pluginNode, const platform::xml::XmlNode* formatNode,
                              HRESULT* result)
{
    IHomePlugin* plugin = nullptr;
    HRESULT created =
        CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IHomePlugin, reinterpret_cast<void**>(&plugin));
    if (result != nullptr)
        *result = created;
    if (FAILED(created) || plugin == nullptr)
        return nullptr;
    plugin->SetSite(static_cast<IHomePluginEnvironment*>(&site));
    HRESULT initialised = plugin->Initialize(handle, pluginNode, formatNode);
    if (FAILED(initialised)) {
        plugin->SetSite(nullptr);
        plugin->Release();
        if (result != nullptr)
            *result = initialised;
        return nullptr;
    }
    KeepRecord(plugin);
    return plugin;
}

}  // namespace homescreen
