// The plug-in's COM object as the home screen uses it: the class factory,
// its two faces, the site, initialisation from the layout and the saved
// record.
#include <gtest/gtest.h>

#include "platform/com/HomeScreen.h"
#include "platform/com/MemoryStream.h"
#include "platform/xml/XmlDocument.h"
#include "plugin/HomePlugin.h"
#include "plugin/LibraryState.h"
#include "plugin/PluginIds.h"
#include "plugin/Server.h"
#include "tests/common/TestSupport.h"

namespace {

constexpr IID kOtherClass = {0x12345678, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8}};

IClassFactory* Factory()
{
    IClassFactory* factory = nullptr;
    EXPECT_EQ(plugin::GetClassObject(plugin::kHomePluginClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
              S_OK);
    return factory;
}

IHomePlugin* NewPlugin()
{
    IClassFactory* factory = Factory();
    IHomePlugin* object = nullptr;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IHomePlugin, reinterpret_cast<void**>(&object)), S_OK);
    factory->Release();
    return object;
}

// Initialises a new object from a layout: <home><default><format .../>
// </default><plugin .../></home>.
IHomePlugin* PluginFromLayout(const char16_t* layoutText)
{
    platform::xml::XmlDocument layout;
    EXPECT_TRUE(layout.LoadText(layoutText));
    platform::xml::XmlNode pluginNode = layout.SelectSingleNode(u"/home/plugin");
    platform::xml::XmlNode formatNode = layout.SelectSingleNode(u"/home/default/format");
    IHomePlugin* object = NewPlugin();
    EXPECT_EQ(object->Initialize(3, &pluginNode, &formatNode), S_OK);
    return object;
}

plugin::PluginSettings SettingsOf(IHomePlugin* object) { return static_cast<plugin::HomePlugin*>(object)->Settings(); }

TEST(PluginServer, AnswersOnlyItsClassAndTheFactoryInterfaces)
{
    void* object = &object;
    EXPECT_EQ(plugin::GetClassObject(kOtherClass, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(plugin::GetClassObject(plugin::kHomePluginClass, IID_IPersist, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(plugin::GetClassObject(plugin::kHomePluginClass, IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    ASSERT_NE(unknown, nullptr);
    unknown->Release();
}

TEST(PluginServer, RefusesAggregationAndCountsObjectsAndLocks)
{
    // A listener thread of an earlier test keeps the library until it ends.
    ASSERT_TRUE(testsupport::WaitFor([] { return plugin::CanUnloadNow() == S_OK; }));
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);

    void* object = &object;
    auto* outer = reinterpret_cast<IUnknown*>(factory);
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IStream, &object), E_NOINTERFACE);
    EXPECT_EQ(plugin::CanUnloadNow(), S_OK);  // the refused object is gone again

    factory->LockServer(TRUE);
    EXPECT_EQ(plugin::CanUnloadNow(), S_FALSE);
    factory->LockServer(FALSE);
    IHomePlugin* plugin = NewPlugin();
    EXPECT_EQ(plugin::CanUnloadNow(), S_FALSE);
    plugin->Release();
    EXPECT_EQ(plugin::CanUnloadNow(), S_OK);
    factory->Release();
}

TEST(PluginObject, BothFacesAreOneObjectWithOneCount)
{
    IHomePlugin* object = NewPlugin();
    IPersistStream* persist = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist)), S_OK);
    IHomePlugin* back = nullptr;
    ASSERT_EQ(persist->QueryInterface(IID_IHomePlugin, reinterpret_cast<void**>(&back)), S_OK);
    EXPECT_EQ(back, object);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(persist->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(object));
    IPersist* persistOnly = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persistOnly)), S_OK);
    EXPECT_EQ(static_cast<void*>(persistOnly), static_cast<void*>(persist));
    void* none = &none;
    EXPECT_EQ(persist->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    CLSID classId{};
    EXPECT_EQ(persist->GetClassID(&classId), S_OK);
    EXPECT_EQ(classId, plugin::kHomePluginClass);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    // Five references: one of the creation and four from the questions.
    EXPECT_EQ(persistOnly->Release(), 4u);
    EXPECT_EQ(unknown->Release(), 3u);
    EXPECT_EQ(back->Release(), 2u);
    EXPECT_EQ(persist->Release(), 1u);
    EXPECT_EQ(object->Release(), 0u);
}

// A site that offers the redraw host, and the colour host only when asked to.
class FakeSite final : public IHomePluginEnvironment, public IHomePluginEnvironment2 {
public:
    explicit FakeSite(bool colours) : m_colours(colours) {}
    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IHomePluginEnvironment)
            *object = static_cast<IHomePluginEnvironment*>(this);
        else if (iid == IID_IHomePluginEnvironment2 && m_colours)
            *object = static_cast<IHomePluginEnvironment2*>(this);
        if (*object == nullptr)
            return E_NOINTERFACE;
        ++references;
        return S_OK;
    }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }
    HRESULT InvalidatePlugin(DWORD plugin, BOOL) override
    {
        redrawnFor = plugin;
        ++redraws;
        return S_OK;
    }
    HRESULT GetFont(DWORD, const WCHAR*, HFONT*) override { return E_NOTIMPL; }
    HRESULT GetColorRef(DWORD, const WCHAR*, COLORREF*) override { return E_NOTIMPL; }
    HRESULT GetColor(DWORD, const WCHAR*, COLORREF* color) override
    {
        *color = RGB(1, 2, 3);
        return S_OK;
    }

    int references = 0;
    int redraws = 0;
    DWORD redrawnFor = 0;

private:
    bool m_colours;
};

TEST(PluginObject, SiteGivesBothHostsAndKeysAskForRedraws)
{
    FakeSite partial(false);
    IHomePlugin* object = PluginFromLayout(u"<home><plugin/></home>");
    EXPECT_EQ(object->SetSite(static_cast<IHomePluginEnvironment*>(&partial)), E_NOINTERFACE);
    IUnknown* site = nullptr;
    EXPECT_EQ(object->GetSite(IID_IUnknown, reinterpret_cast<void**>(&site)), S_OK);
    site->Release();

    FakeSite full(true);
    EXPECT_EQ(object->SetSite(static_cast<IHomePluginEnvironment*>(&full)), S_OK);
    EXPECT_EQ(partial.references, 0);  // the first site's host was given back
    EXPECT_EQ(full.references, 2);
    struct Case {
        const char* name;
        DWORD type;
        WORD key;
        int redraws;
    } cases[] = {{"left key", HPE_KEYDOWN, 37, 1},   {"right key", HPE_KEYDOWN, 39, 1},
                 {"up key", HPE_KEYDOWN, 38, 0},     {"focus changed", HPE_FOCUSCHANGED, 0, 1},
                 {"colours changed", HPE_COLORSCHANGED, 0, 0}, {"unknown", 9, 0, 0}};
    for (const Case& c : cases) {
        full.redraws = 0;
        HomePluginKeyEvent event;
        event.type = c.type;
        event.key = c.key;
        EXPECT_EQ(object->OnEvent(reinterpret_cast<const HomePluginEvent*>(&event)), S_OK) << c.name;
        EXPECT_EQ(full.redraws, c.redraws) << c.name;
    }
    EXPECT_EQ(full.redrawnFor, 3u);
    EXPECT_EQ(object->SetSite(nullptr), S_OK);
    EXPECT_EQ(full.references, 0);
    EXPECT_EQ(object->GetSite(IID_IUnknown, reinterpret_cast<void**>(&site)), E_FAIL);
    object->Release();
}

TEST(PluginObject, InitialiseReadsTheLayoutUpperCasedAndKeepsDefaultsForTheRest)
{
    IHomePlugin* object = PluginFromLayout(
        u"<home><default><format font-face='Nina' font-size='16' font-weight='bold' padding-left='4' padding-top='x'"
        u" fgcolor='#a0b0c0' b-border-width='2'><format state='selected' bgcolor='#010203'/></format></default>"
        u"<plugin height='25' autoheight='true' show-b-border='1'/></home>");
    plugin::PluginSettings s = SettingsOf(object);
    EXPECT_EQ(s.pluginHandle, 3u);
    EXPECT_EQ(s.height, 25);
    EXPECT_TRUE(s.autoHeight);  // "true" counts: the value is upper-cased first
    EXPECT_EQ(s.borderMode, 1);
    EXPECT_EQ(s.fontFace, u"NINA");
    EXPECT_EQ(s.fontSize, 16);
    EXPECT_EQ(s.fontWeight, u"BOLD");
    EXPECT_EQ(s.paddingLeft, 4);
    EXPECT_EQ(s.paddingTop, 0);  // not a number: unchanged
    EXPECT_EQ(s.textColour, u"#A0B0C0");
    EXPECT_EQ(s.selectedBackground, u"#010203");
    EXPECT_EQ(s.selectedText, plugin::kDefaultSelectedText);
    EXPECT_EQ(s.background, plugin::kDefaultBackground);
    EXPECT_EQ(s.borderWidth, 2);
    object->Release();
}

TEST(PluginObject, AutoHeightHidesTheRowUntilTheProgramReports)
{
    plugin::SetStatus({});
    IHomePlugin* automatic = PluginFromLayout(u"<home><plugin height='30' autoheight='tRuE'/></home>");
    IHomePlugin* fixed = PluginFromLayout(u"<home><plugin height='30' autoheight='False'/></home>");
    auto shown = [](IHomePlugin* object) {
        int height = -1;
        BOOL selectable = -1;
        object->GetHeight(&height);
        object->GetSelectability(&selectable);
        return std::pair(height, selectable);
    };
    EXPECT_EQ(shown(automatic), std::pair(0, FALSE));
    EXPECT_EQ(shown(fixed), std::pair(30, TRUE));
    plugin::ProgramStatus reported;
    reported.haveData = true;
    plugin::SetStatus(reported);
    EXPECT_EQ(shown(automatic), std::pair(30, TRUE));
    plugin::SetStatus({});
    automatic->Release();
    fixed->Release();
}

std::vector<BYTE> Saved(IHomePlugin* object)
{
    IPersistStream* persist = nullptr;
    EXPECT_EQ(object->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist)), S_OK);
    platform::com::MemoryStream* stream = platform::com::MemoryStream::Create();
    EXPECT_EQ(persist->Save(stream, TRUE), S_OK);
    ULARGE_INTEGER size;
    size.QuadPart = 99;
    EXPECT_EQ(persist->GetSizeMax(&size), S_OK);
    EXPECT_EQ(size.QuadPart, 0u);  // whatever the record's size
    std::vector<BYTE> bytes = stream->Bytes();
    stream->Release();
    persist->Release();
    return bytes;
}

HRESULT LoadInto(IHomePlugin* object, std::vector<BYTE> bytes)
{
    IPersistStream* persist = nullptr;
    EXPECT_EQ(object->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist)), S_OK);
    platform::com::MemoryStream* stream = platform::com::MemoryStream::Create(std::move(bytes));
    HRESULT result = persist->Load(stream);
    stream->Release();
    persist->Release();
    return result;
}

TEST(PluginRecord, RoundTripsTheLayoutsSettings)
{
    IHomePlugin* first = PluginFromLayout(
        u"<home><default><format font-face='Nina' font-size='12' bgcolor='#FFFFFF' b-border-color='#000000'"
        u" b-border-width='3' padding-left='5' padding-top='6'/></default>"
        u"<plugin height='24' autoheight='TRUE' show-b-border='2'/></home>");
    std::vector<BYTE> record = Saved(first);
    IHomePlugin* second = NewPlugin();
    EXPECT_EQ(LoadInto(second, record), S_OK);
    EXPECT_EQ(Saved(second), record);
    plugin::PluginSettings s = SettingsOf(second);
    EXPECT_EQ(s.pluginHandle, 3u);
    EXPECT_EQ(s.height, 24);
    EXPECT_TRUE(s.autoHeight);
    EXPECT_EQ(s.borderMode, 2);
    EXPECT_EQ(s.fontFace, u"NINA");
    EXPECT_EQ(s.background, u"#FFFFFF");
    EXPECT_EQ(s.borderColour, u"#000000");
    EXPECT_EQ(s.borderWidth, 3);
    EXPECT_EQ(s.paddingTop, 6);
    first->Release();
    second->Release();
}

TEST(PluginRecord, UnsetColourTextsReadBackAsTheirDefaults)
{
    // A record whose texts were all written with length 0.
    plugin::PluginSettings empty;
    empty.fontWeight.clear();
    empty.background.clear();
    empty.textColour.clear();
    empty.selectedBackground.clear();
    empty.selectedText.clear();
    empty.borderColour.clear();
    plugin::PluginSettings s = plugin::DecodeRecord(plugin::EncodeRecord(empty)).settings;
    EXPECT_EQ(s.fontWeight, u"NORMAL");
    EXPECT_EQ(s.background, u"TRANSPARENT");
    EXPECT_EQ(s.textColour, u"COLOR_HOMETEXT");
    EXPECT_EQ(s.selectedBackground, u"COLOR_HOMEHIGHLIGHT");
    EXPECT_EQ(s.selectedText, u"COLOR_HOMEHIGHLIGHTTEXT");
    EXPECT_EQ(s.borderColour, u"COLOR_HOMERULE");
}

std::vector<BYTE> Int32(std::int32_t value)
{
    auto bits = static_cast<std::uint32_t>(value);
    return {static_cast<BYTE>(bits), static_cast<BYTE>(bits >> 8), static_cast<BYTE>(bits >> 16),
            static_cast<BYTE>(bits >> 24)};
}

TEST(PluginRecord, BrokenRecordsReadNothingOutsideAndKeepDefaults)
{
    plugin::PluginSettings given;
    given.height = 31;
    given.fontFace = u"NINA";
    given.borderWidth = 4;
    std::vector<BYTE> whole = plugin::EncodeRecord(given);
    // Every cut: the fields before it are read, the rest keep defaults.
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        plugin::DecodedRecord record = plugin::DecodeRecord(std::span(whole.data(), cut));
        EXPECT_FALSE(record.complete) << cut;
        EXPECT_EQ(record.settings.borderWidth, 0) << cut;
        EXPECT_EQ(record.settings.height, cut >= 8 ? 31 : 20) << cut;
    }

    // A font face whose length runs past the end, and a negative length.
    std::vector<BYTE> past = {1, 0, 0, 0, 30, 0, 0, 0, 1, 0, 0, 0, 0};
    std::vector<BYTE> huge = Int32(0x7FFFFFF0);
    past.insert(past.end(), huge.begin(), huge.end());
    past.push_back('A');
    plugin::DecodedRecord record = plugin::DecodeRecord(past);
    EXPECT_FALSE(record.complete);
    EXPECT_EQ(record.settings.height, 30);
    EXPECT_EQ(record.settings.fontFace, u"");

    std::vector<BYTE> negative = {1, 0, 0, 0, 30, 0, 0, 0, 1, 0, 0, 0, 0};
    std::vector<BYTE> minus = Int32(-6);
    negative.insert(negative.end(), minus.begin(), minus.end());
    std::vector<BYTE> size = Int32(17);
    negative.insert(negative.end(), size.begin(), size.end());
    record = plugin::DecodeRecord(negative);
    EXPECT_EQ(record.settings.fontFace, u"");
    EXPECT_EQ(record.settings.fontSize, 17);
}

TEST(PluginRecord, OverlongTextKeepsItsFieldsShareAndTheNextFieldsRead)
{
    // 150 characters in the font face: the field keeps 127, and the font
    // size after the text is still found.
    std::vector<BYTE> bytes = {9, 0, 0, 0, 22, 0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<BYTE> length = Int32(300);
    bytes.insert(bytes.end(), length.begin(), length.end());
    for (int i = 0; i < 150; ++i) {
        bytes.push_back('F');
        bytes.push_back(0);
    }
    std::vector<BYTE> fontSize = Int32(18);
    bytes.insert(bytes.end(), fontSize.begin(), fontSize.end());
    plugin::PluginSettings s = plugin::DecodeRecord(bytes).settings;
    EXPECT_EQ(s.fontFace, WideString(127, u'F'));
    EXPECT_EQ(s.fontSize, 18);

    // A layout value longer than a field is cut before it is stored, so a
    // saved record never holds a longer text.
    WideString longFace(200, u'n');
    WideString layout = u"<home><default><format font-face='" + longFace + u"'/></default><plugin/></home>";
    IHomePlugin* object = PluginFromLayout(layout.c_str());
    EXPECT_EQ(SettingsOf(object).fontFace, WideString(127, u'N'));
    plugin::DecodedRecord again = plugin::DecodeRecord(Saved(object));
    EXPECT_TRUE(again.complete);
    EXPECT_EQ(again.settings.fontFace, WideString(127, u'N'));
    object->Release();
}

}  // namespace
