// The home-screen scheme installer on a private device: the scheme file
// chain and the deletion of replaced files, removal, the setup screens
// driven by keys, and bad input that must leave the current scheme alone.
#include <filesystem>
#include <fstream>

#include "home/PluginConfigDialogs.h"
#include "home/SchemeBuilder.h"
#include "home/SchemeInstaller.h"
#include "platform/base/Clock.h"
#include "platform/base/WideString.h"
#include "platform/registry/Registry.h"
#include "platform/win/Controls.h"
#include "ui/ControlValues.h"
#include "tests/ui/settings/SettingsFixture.h"

namespace {

using namespace settingstest;
using platform::display::PressKey;
using platform::display::VK_ACTION;
using platform::display::VK_DOWN_KEY;
using platform::display::VK_RIGHT_KEY;
using platform::display::VK_SOFT1;
using platform::display::VK_SOFT2;
using platform::display::VK_UP_KEY;
namespace fs = std::filesystem;

constexpr const char* kThreeOthers =
    "<home><title>Today</title>"
    "<plugin name=\"Clock\" clsid=\"{11111111-0000-0000-0000-000000000001}\"/>"
    "<plugin name=\"Operator\" clsid=\"{11111111-0000-0000-0000-000000000002}\"/>"
    "<plugin name=\"Calendar\" clsid=\"{11111111-0000-0000-0000-000000000003}\"/>"
    "<background/></home>";

class SchemeInstallerTest : public SettingsFixture {
protected:
    void SetUp() override
    {
        setenv("CORVANE_DEVICE", m_device.Path().c_str(), 1);
        platform::SetTimeScale(1000);
        SettingsFixture::SetUp();
        m_core->AddHandler(MakeRef<home::SchemeFileRemover>());
        fs::create_directories(HomeFolder());
    }
    void TearDown() override
    {
        SettingsFixture::TearDown();
        platform::SetTimeScale(1);
    }

    std::string HomeFolder() const { return m_device / "Application Data/Home"; }
    std::string InHome(const std::string& name) const { return HomeFolder() + "/" + name; }
    WideString WriteScheme(const std::string& name, const std::string& text) const
    {
        std::ofstream(InHome(name), std::ios::binary) << text;
        return platform::Utf8ToWide(InHome(name));
    }
    static WideString Current()
    {
        return platform::registry::ReadString(HKEY_CURRENT_USER, u"ControlPanel\\Home", u"Scheme");
    }
    static std::string Utf8(const WideString& text) { return platform::WideToUtf8(text); }

    // Runs a flow; `steps` answer its screens.
    void Run(void (*flow)(AppCore&, HWND), std::vector<Step> steps)
    {
        m_driver.Start(std::move(steps));
        flow(*m_core, nullptr);
    }
    // Steps that accept both setup screens as they open.
    static std::vector<Step> AcceptScreens()
    {
        return {Wait{[] { return Screen(u"PluginConfigDlg1") != nullptr; }}, [] { PressKey(VK_SOFT2); },
                Wait{[] { return Screen(u"PluginConfigDlg2") != nullptr; }}, [] { PressKey(VK_SOFT2); }};
    }
    // Runs a flow that must stop with the error box; returns whether the box
    // showed `text`. A setup screen that opens instead is cancelled.
    bool FailsWith(void (*flow)(AppCore&, HWND), const WideString& text)
    {
        bool shown = false;
        Run(flow, {Wait{[&] { return shown = Shown(text) && Shown(u"Error"); }}, [] { PressKey(VK_SOFT1); }});
        return shown;
    }
    std::vector<std::string> OwnFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(HomeFolder())) {
            if (entry.path().filename().string().starts_with("Corvane"))
                names.push_back(entry.path().filename().string());
        }
        return names;
    }

    testsupport::TempFolder m_device{"corvane-scheme"};
};

TEST_F(SchemeInstallerTest, InstallTwiceThenRemoveWalksTheFileChain)
{
    WideString tahoma = WriteScheme("tahoma.xml", kThreeOthers);
    ASSERT_TRUE(home::ApplyScheme(tahoma).empty());

    Run(&home::RunPluginSetup, AcceptScreens());
    WideString first = platform::Utf8ToWide(InHome("Corvane.tahoma.xml"));
    ASSERT_EQ(Current(), first);
    home::SchemeInfo info;
    WideString error;
    ASSERT_TRUE(home::LoadScheme(first, info, error));
    EXPECT_EQ(info.oldScheme, tahoma) << "the replaced foreign scheme is recorded by its full path";
    EXPECT_EQ(info.ownPosition, 3) << "a new row goes last";
    EXPECT_EQ(info.document->SelectSingleNode(u"/home/title").Text(), u"Corvane - Today");
    EXPECT_EQ(platform::registry::ReadString(HKEY_CLASSES_ROOT,
                                             u"CLSID\\{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}\\InprocServer32"),
              app::AppFolder() + u"CorvanePlugin.so");

    Run(&home::RunPluginSetup, AcceptScreens());
    WideString second = platform::Utf8ToWide(InHome("Corvane1.tahoma.xml"));
    ASSERT_EQ(Current(), second);
    ASSERT_TRUE(home::LoadScheme(second, info, error));
    EXPECT_EQ(info.oldScheme, tahoma) << "the first old scheme is kept";
    EXPECT_EQ(info.document->SelectSingleNode(u"/home/title").Text(), u"Corvane - Today") << "prefixed once";
    EXPECT_TRUE(testsupport::WaitFor([&] { return !fs::exists(InHome("Corvane.tahoma.xml")); }));

    Run(&home::RemovePluginScheme, {});
    EXPECT_EQ(Current(), tahoma);
    EXPECT_TRUE(testsupport::WaitFor([&] { return !fs::exists(InHome("Corvane1.tahoma.xml")); }));
    EXPECT_TRUE(fs::exists(InHome("tahoma.xml"))) << "a scheme the program did not write is never deleted";
    EXPECT_EQ(EventsOf(EventType::DeleteFile), 2);

    EXPECT_TRUE(FailsWith(&home::RemovePluginScheme, u"Can't delete current scheme"));
    EXPECT_EQ(Current(), tahoma);
}

TEST_F(SchemeInstallerTest, RemovingAnOwnSchemeWithoutOldSchemeKeepsIt)
{
    WideString own = WriteScheme("Corvane3.tahoma.xml",
                                 "<home><plugin clsid=\"{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}\" name=\"Corvane\"/>"
                                 "</home>");
    ASSERT_TRUE(home::ApplyScheme(own).empty());
    EXPECT_TRUE(FailsWith(&home::RemovePluginScheme, u"Previous scheme name is unknown. Please select another scheme"));
    EXPECT_EQ(Current(), own);
    EXPECT_TRUE(fs::exists(Utf8(own)));
}

// Each bad scheme answer or file stops the install with its message; the
// current scheme stays and no file is written.
TEST_F(SchemeInstallerTest, BadSchemesStopTheInstallAndChangeNothing)
{
    struct Case {
        const char* name;
        const char* file;      // written into the Home folder, or null
        std::string contents;
        const WCHAR* error;
    } cases[] = {
        {"no scheme value", nullptr, "", u"Bad metadata"},
        {"missing file", "gone.xml", "", u"Can't load current schema document"},
        {"malformed", "broken.xml", "<home><title>x</home>", u"Can't load current schema document"},
        {"no home element", "layout.xml", "<layout><plugin name=\"a\" clsid=\"{1}\"/></layout>",
         u"Can't load current schema document"},
        {"huge", "huge.xml", "<home>" + std::string(home::kMaxSchemeBytes, ' ') + "</home>",
         u"Can't load current schema document"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WideString path;
        if (c.file != nullptr) {
            path = platform::Utf8ToWide(InHome(c.file));
            if (!c.contents.empty())
                WriteScheme(c.file, c.contents);
            ASSERT_TRUE(home::ApplyScheme(path).empty());
        }
        EXPECT_TRUE(FailsWith(&home::RunPluginSetup, c.error));
        EXPECT_EQ(Current(), path);
        EXPECT_TRUE(OwnFiles().empty());
    }
    ASSERT_TRUE(home::ApplyScheme(u"").empty());
    EXPECT_TRUE(FailsWith(&home::RunPluginSetup, u"Empty schema filename"));
}

TEST_F(SchemeInstallerTest, ASchemeThatCannotBeSavedLeavesTheCurrentOne)
{
    WideString tahoma = WriteScheme("tahoma.xml", kThreeOthers);
    ASSERT_TRUE(home::ApplyScheme(tahoma).empty());
    BlockWritesTo(InHome("Corvane.tahoma.xml"));
    std::vector<Step> steps = AcceptScreens();
    bool shown = false;
    steps.push_back(Wait{[&] { return shown = Shown(u"Can't save schema file"); }});
    steps.push_back([] { PressKey(VK_SOFT1); });
    Run(&home::RunPluginSetup, steps);
    EXPECT_TRUE(shown);
    EXPECT_EQ(Current(), tahoma);
    EXPECT_FALSE(fs::exists(InHome("Corvane.tahoma.xml")));
}

// The screens with keys: the row moves to the top, the look changes, going
// back keeps everything, and "Done" saves what the screens showed.
TEST_F(SchemeInstallerTest, SetupScreensPlaceAndShapeTheRow)
{
    WideString own = WriteScheme(
        "Corvane.tahoma.xml",
        "<home><title>Corvane - Today</title>"
        "<plugin name=\"Clock\" clsid=\"{11111111-0000-0000-0000-000000000001}\"/>"
        "<plugin clsid=\"{fcce0008-c09e-4fe2-8b57-6d753d2127ad}\" name=\"Corvane\" height=\"30\" autoheight=\"true\">"
        "<oldschema>/somewhere/tahoma.xml</oldschema></plugin>"
        "<plugin name=\"Operator\" clsid=\"{11111111-0000-0000-0000-000000000002}\"/>"
        "<plugin name=\"Calendar\" clsid=\"{11111111-0000-0000-0000-000000000003}\"/></home>");
    ASSERT_TRUE(home::ApplyScheme(own).empty());
    auto dlg1 = [] { return Screen(u"PluginConfigDlg1"); };
    auto dlg2 = [] { return Screen(u"PluginConfigDlg2"); };
    auto list = [&] { return ui::ListSelection(dlg1(), home::PluginConfigDlg1::kListId); };
    int startLine = -1;
    int lineAfterBack = -1;
    WideString topLine;
    bool keptOnBack = false;
    Run(&home::RunPluginSetup,
        {Wait{[&] { return dlg1() != nullptr; }},
         [&] {
             startLine = list();
             PressKey(VK_UP_KEY);
         },
         [&] {
             Screenshot("plugin-setup-1");
             WCHAR line[32] = {};
             SendDlgItemMessageW(dlg1(), home::PluginConfigDlg1::kListId, LB_GETTEXT, 0,
                                 reinterpret_cast<LPARAM>(line));
             topLine = line;
             PressKey(VK_SOFT2);
         },
         Wait{[&] { return dlg2() != nullptr; }},
         [&] {
             SetFocus(GetDlgItem(dlg2(), home::PluginConfigDlg2::kAutoHideId));
             PressKey(VK_ACTION);
             SetDlgItemTextW(dlg2(), home::PluginConfigDlg2::kHeightId, u"");
             TypeInto(dlg2(), home::PluginConfigDlg2::kHeightId, u"40");
             SetFocus(GetDlgItem(dlg2(), home::PluginConfigDlg2::kBorderId));
             PressKey(VK_RIGHT_KEY);
             PressKey(VK_RIGHT_KEY);
         },
         [&] {
             Screenshot("plugin-setup-2");
             PressKey(VK_SOFT1);  // "Previous"
         },
         Wait{[&] { return dlg1() != nullptr; }},
         [&] {
             lineAfterBack = list();
             PressKey(VK_SOFT2);
         },
         Wait{[&] { return dlg2() != nullptr; }},
         [&] {
             HWND d = dlg2();
             keptOnBack = !ui::IsChecked(d, home::PluginConfigDlg2::kAutoHideId) &&
                          ItemText(d, home::PluginConfigDlg2::kHeightId) == u"40" &&
                          ui::ListSelection(d, home::PluginConfigDlg2::kBorderId) == 2;
             PressKey(VK_SOFT2);  // "Done"
         }});
    EXPECT_EQ(startLine, 1) << "the list opens on the row's place";
    EXPECT_EQ(topLine, u"Corvane");
    EXPECT_EQ(lineAfterBack, 0);
    EXPECT_TRUE(keptOnBack);

    WideString saved = platform::Utf8ToWide(InHome("Corvane1.tahoma.xml"));
    ASSERT_EQ(Current(), saved);
    home::SchemeInfo info;
    WideString error;
    ASSERT_TRUE(home::LoadScheme(saved, info, error));
    EXPECT_EQ(info.ownPosition, 0);
    EXPECT_FALSE(info.autoHeight);
    EXPECT_EQ(info.height, u"40");
    EXPECT_EQ(info.borderMode, 2);
    EXPECT_EQ(info.oldScheme, u"/somewhere/tahoma.xml");
    EXPECT_EQ(info.otherPlugins, (std::vector<WideString>{u"Clock", u"Operator", u"Calendar"}));
    EXPECT_EQ(info.document->SelectSingleNode(u"/home/title").Text(), u"Corvane - Today");
    EXPECT_TRUE(testsupport::WaitFor([&] { return !fs::exists(Utf8(own)); }));
}

}  // namespace
