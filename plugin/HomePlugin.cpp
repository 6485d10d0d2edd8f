#include "plugin/HomePlugin.h"

#include <charconv>
#include <new>
#include <string>

#include "platform/base/WideString.h"
#include "plugin/Activate.h"
#include "plugin/LibraryState.h"
#include "plugin/Listener.h"
#include "plugin/PluginIds.h"
#include "plugin/RowLook.h"

namespace plugin {

namespace {

// Largest saved record read; real ones are about 1.4 KB.
constexpr std::size_t kMaxRecord = 64 * 1024;

// The attribute as a number; absent or not a number leaves `value`.
void ReadNumber(const platform::xml::XmlNode& node, std::u16string_view name, std::int32_t& value)
{
    std::optional<WideString> text = node.Attribute(name);
    if (!text)
        return;
    std::string digits = platform::WideToUtf8(*text);
    std::size_t start = digits.find_first_not_of(" \t");
    if (start == std::string::npos)
        return;
    if (digits[start] == '+')
        ++start;
    std::int32_t number = 0;
    auto [end, error] = std::from_chars(digits.data() + start, digits.data() + digits.size(), number);
    if (error == std::errc() && end != digits.data() + start)
        value = number;
}

void ReadText(const platform::xml::XmlNode& node, std::u16string_view name, WideString& value)
{
    if (std::optional<WideString> text = node.Attribute(name))
        value = FieldText(*text);
}

std::vector<BYTE> ReadAll(IStream* stream)
{
    std::vector<BYTE> bytes;
    BYTE chunk[512];
    while (bytes.size() < kMaxRecord) {
        ULONG read = 0;
        HRESULT result = stream->Read(chunk, sizeof chunk, &read);
        bytes.insert(bytes.end(), chunk, chunk + std::min<ULONG>(read, sizeof chunk));
        if (FAILED(result) || read < sizeof chunk)
            break;
    }
    return bytes;
}

}  // namespace

HomePlugin* HomePlugin::Create()
{
    auto* object = new (std::nothrow) HomePlugin();
    if (object != nullptr)
        AddLibraryReference();
    return object;
}

HomePlugin::~HomePlugin()
{
    ReleaseHosts();
    if (ReleaseLibraryReference() == 0)
        StopListener();
}

HRESULT HomePlugin::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IObjectWithSite || iid == IID_IHomePlugin) {
        *object = static_cast<IHomePlugin*>(this);
    } else if (iid == IID_IPersist || iid == IID_IPersistStream) {
        *object = static_cast<IPersistStream*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG HomePlugin::AddRef() { return ++m_references; }

ULONG HomePlugin::Release()
{
    ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

void HomePlugin::ReleaseHosts()
{
    if (m_redrawHost != nullptr)
        m_redrawHost->Release();
    if (m_colourHost != nullptr)
        m_colourHost->Release();
    m_redrawHost = nullptr;
    m_colourHost = nullptr;
}

HRESULT HomePlugin::SetSite(IUnknown* site)
{
    ReleaseHosts();
    if (site == nullptr)
        return S_OK;
    HRESULT result = site->QueryInterface(IID_IHomePluginEnvironment, reinterpret_cast<void**>(&m_redrawHost));
    if (FAILED(result)) {
        m_redrawHost = nullptr;
        return result;
    }
    result = site->QueryInterface(IID_IHomePluginEnvironment2, reinterpret_cast<void**>(&m_colourHost));
    if (FAILED(result))
        m_colourHost = nullptr;
    return result;
}

HRESULT HomePlugin::GetSite(REFIID iid, void** site)
{
    if (site == nullptr)
        return E_POINTER;
    if (m_redrawHost == nullptr) {
        *site = nullptr;
        return E_FAIL;
    }
    return m_redrawHost->QueryInterface(iid, site);
}

HRESULT HomePlugin::Initialize(DWORD plugin, const platform::xml::XmlNode* pluginNode,
                               const platform::xml::XmlNode* defaultFormatNode)
{
    std::lock_guard lock(m_settingsMutex);
    PluginSettings& s = m_settings;
    s.height = 20;
    s.fontSize = 14;
    s.paddingLeft = 0;
    s.paddingTop = 0;
    s.borderWidth = 0;
    s.autoHeight = false;
    s.pluginHandle = plugin;
    if (pluginNode != nullptr) {
        ReadNumber(*pluginNode, u"height", s.height);
        if (std::optional<WideString> autoHeight = pluginNode->Attribute(u"autoheight"))
            s.autoHeight = FieldText(*autoHeight) == u"TRUE";
        ReadNumber(*pluginNode, u"show-b-border", s.borderMode);
    }
    if (defaultFormatNode != nullptr) {
        const platform::xml::XmlNode& format = *defaultFormatNode;
        ReadText(format, u"font-face", s.fontFace);
        ReadNumber(format, u"font-size", s.fontSize);
        ReadText(format, u"font-weight", s.fontWeight);
        ReadNumber(format, u"padding-left", s.paddingLeft);
        ReadNumber(format, u"padding-top", s.paddingTop);
        ReadText(format, u"bgcolor", s.background);
        ReadText(format, u"fgcolor", s.textColour);
        ReadText(format, u"b-border-color", s.borderColour);
        ReadNumber(format, u"b-border-width", s.borderWidth);
        if (platform::xml::XmlNode selected = format.SelectSingleNode(u"format[@state='selected']")) {
            ReadText(selected, u"bgcolor", s.selectedBackground);
            ReadText(selected, u"fgcolor", s.selectedText);
        }
    }
    return S_OK;
}

bool HomePlugin::Shown() const
{
    std::lock_guard lock(m_settingsMutex);
    return !m_settings.autoHeight || Status().haveData;
}

HRESULT HomePlugin::GetHeight(int* height)
{
    if (height == nullptr)
        return E_POINTER;
    *height = Shown() ? Settings().height : 0;
    return S_OK;
}

HRESULT HomePlugin::GetSelectability(BOOL* selectable)
{
    if (selectable == nullptr)
        return E_POINTER;
    *selectable = Shown() ? TRUE : FALSE;
    return S_OK;
}

void HomePlugin::RequestRedraw()
{
    if (m_redrawHost != nullptr)
        m_redrawHost->InvalidatePlugin(Settings().pluginHandle, FALSE);
}

std::optional<COLORREF> HomePlugin::ColourByName(const WideString& name)
{
    COLORREF colour = 0;
    if (m_colourHost != nullptr && SUCCEEDED(m_colourHost->GetColor(Settings().pluginHandle, name.c_str(), &colour)))
        return colour;
    return std::nullopt;
}

HRESULT HomePlugin::OnEvent(const HomePluginEvent* event)
{
    if (event == nullptr)
        return E_POINTER;
    switch (event->type) {
    case HPE_KEYDOWN: {
        WORD key = reinterpret_cast<const HomePluginKeyEvent*>(event)->key;
        if (key == 37 || key == 39)
            RequestRedraw();
        break;
    }
    case HPE_ACTION:
        RequestRedraw();
        ActivateProgram();
        break;
    case HPE_PAINT: {
        const auto* paint = reinterpret_cast<const HomePluginPaintEvent*>(event);
        m_painter.Paint(paint->dc, paint->selected != FALSE, paint->rect, Settings(), Status(),
                        [this](const WideString& name) { return ColourByName(name); });
        break;
    }
    case HPE_COLORSCHANGED:
        m_painter.ForgetColours();
        break;
    case HPE_FOCUSCHANGED:
        RequestRedraw();
        break;
    default:
        break;
    }
    return S_OK;
}

HRESULT HomePlugin::GetClassID(CLSID* classId)
{
    if (classId == nullptr)
        return E_POINTER;
    *classId = kHomePluginClass;
    return S_OK;
}

HRESULT HomePlugin::IsDirty() { return S_OK; }

HRESULT HomePlugin::Load(IStream* stream)
{
    if (stream == nullptr)
        return E_POINTER;
    DecodedRecord record = DecodeRecord(ReadAll(stream));
    {
        std::lock_guard lock(m_settingsMutex);
        m_settings = record.settings;
    }
    m_painter.Reset();
    StartListener();
    return record.complete ? S_OK : STG_E_READFAULT;
}

HRESULT HomePlugin::Save(IStream* stream, BOOL)
{
    if (stream == nullptr)
        return E_POINTER;
    std::vector<BYTE> record = EncodeRecord(Settings());
    ULONG written = 0;
    HRESULT result = stream->Write(record.data(), static_cast<ULONG>(record.size()), &written);
    if (FAILED(result))
        return result;
    return written == record.size() ? S_OK : E_FAIL;
}

HRESULT HomePlugin::GetSizeMax(ULARGE_INTEGER* size)
{
    if (size == nullptr)
        return E_POINTER;
    // The home screen gives the stream room as it is written.
    size->QuadPart = 0;
    return S_OK;
}

PluginSettings HomePlugin::Settings() const
{
    std::lock_guard lock(m_settingsMutex);
    return m_settings;
}

}  // namespace plugin
