// HomePlugin: the home screen's object for the plug-in's row. One object,
// two faces sharing one reference count: the home-screen plug-in face
// (IHomePlugin, IObjectWithSite, IUnknown) and the saved-record face
// (IPersistStream, IPersist).
#pragma once

#include <atomic>
#include <mutex>

#include "platform/com/HomeScreen.h"
#include "plugin/PluginSettings.h"
#include "plugin/RowPainter.h"

namespace plugin {

class HomePlugin final : public IHomePlugin, public IPersistStream {
public:
    // A new object with one reference; the library count grows by one.
    static HomePlugin* Create();

    // IUnknown (both faces).
    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // IObjectWithSite.
    HRESULT SetSite(IUnknown* site) override;
    HRESULT GetSite(REFIID iid, void** site) override;

    // IHomePlugin.
    HRESULT Initialize(DWORD plugin, const platform::xml::XmlNode* pluginNode,
                       const platform::xml::XmlNode* defaultFormatNode) override;
    HRESULT GetHeight(int* height) override;
    HRESULT GetSelectability(BOOL* selectable) override;
    HRESULT OnEvent(const HomePluginEvent* event) override;

    // IPersistStream.
    HRESULT GetClassID(CLSID* classId) override;
    HRESULT IsDirty() override;
    HRESULT Load(IStream* stream) override;
    HRESULT Save(IStream* stream, BOOL clearDirty) override;
    HRESULT GetSizeMax(ULARGE_INTEGER* size) override;

    PluginSettings Settings() const;

private:
    HomePlugin() = default;
    ~HomePlugin();

    void ReleaseHosts();
    void RequestRedraw();
    bool Shown() const;
    std::optional<COLORREF> ColourByName(const WideString& name);

    std::atomic<ULONG> m_references{1};
    IHomePluginEnvironment* m_redrawHost = nullptr;
    IHomePluginEnvironment2* m_colourHost = nullptr;
    mutable std::mutex m_settingsMutex;
    PluginSettings m_settings;
    RowPainter m_painter;
};

}  // namespace plugin
