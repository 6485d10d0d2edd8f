// The home screen's plug-in interfaces: the one a plug-in offers (the home
// screen drives it through it) and the two the home screen offers through the
// site it hands to the plug-in, plus the shell's data-changed notification.
#pragma once

#include <functional>

#include "platform/com/Com.h"
#include "platform/gdi/Gdi.h"
#include "platform/xml/XmlNode.h"

inline constexpr IID IID_IHomePlugin = {0x7F0C58E9, 0x4F30, 0x47BB, {0x96, 0x93, 0xD7, 0x78, 0xE9, 0x99, 0xC4, 0x33}};
inline constexpr IID IID_IHomePluginEnvironment = {
    0xFF328DC0, 0x22F5, 0x4AC1, {0xA1, 0x03, 0x19, 0xB3, 0x89, 0xC6, 0x33, 0xFA}};
inline constexpr IID IID_IHomePluginEnvironment2 = {
    0xE01A8A84, 0xDDEF, 0x438E, {0x90, 0x04, 0x3F, 0xB2, 0xA9, 0x08, 0xE4, 0x65}};

// Events the home screen hands to a plug-in's OnEvent. Every record starts
// with its type.
constexpr DWORD HPE_KEYDOWN = 0;
constexpr DWORD HPE_ACTION = 1;
constexpr DWORD HPE_PAINT = 2;
constexpr DWORD HPE_COLORSCHANGED = 3;
constexpr DWORD HPE_FOCUSCHANGED = 5;

struct HomePluginEvent {
    DWORD type = 0;
};

struct HomePluginKeyEvent {
    DWORD type = HPE_KEYDOWN;
    WORD key = 0;
};

struct HomePluginPaintEvent {
    DWORD type = HPE_PAINT;
    HDC dc = nullptr;
    BOOL selected = FALSE;
    RECT rect{};
};

// A plug-in of the home screen.
class IHomePlugin : public IObjectWithSite {
public:
    virtual HRESULT Initialize(DWORD plugin, const platform::xml::XmlNode* pluginNode,
                               const platform::xml::XmlNode* defaultFormatNode) = 0;
    virtual HRESULT GetHeight(int* height) = 0;
    virtual HRESULT GetSelectability(BOOL* selectable) = 0;
    virtual HRESULT OnEvent(const HomePluginEvent* event) = 0;

protected:
    ~IHomePlugin() = default;
};

// Offered by the home screen's site: redraw requests.
class IHomePluginEnvironment : public IUnknown {
public:
    virtual HRESULT InvalidatePlugin(DWORD plugin, BOOL resize) = 0;

protected:
    ~IHomePluginEnvironment() = default;
};

// Offered by the home screen's site: colours of the current scheme by name
// ("COLOR_HOMETEXT", ...).
class IHomePluginEnvironment2 : public IUnknown {
public:
    virtual HRESULT GetFont(DWORD plugin, const WCHAR* name, HFONT* font) = 0;
    virtual HRESULT GetColorRef(DWORD plugin, const WCHAR* name, COLORREF* color) = 0;
    virtual HRESULT GetColor(DWORD plugin, const WCHAR* name, COLORREF* color) = 0;

protected:
    ~IHomePluginEnvironment2() = default;
};

// Tells the home screen that a plug-in of this class has new data to show
// (from any thread); the home screen then repaints it on its own thread.
void SHOnPluginDataChange(REFCLSID classId);

namespace platform::com {

// The home screen's receiver of those notifications (one per process; an
// empty function removes it).
void SetPluginDataChangeReceiver(std::function<void(const CLSID&)> receiver);

}  // namespace platform::com
