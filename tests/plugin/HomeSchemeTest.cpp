// The phone's home screen (tools/homescreen) as a process of its own: it
// shows the current scheme's rows with the Corvane plug-in among them,
// moves the selection, hands Action to the plug-in, follows the Scheme value
// that the configuration manager sets, and survives bad schemes, bad
// plug-ins and a damaged registry.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/base/WideString.h"
#include "platform/display/Display.h"
#include "platform/display/Png.h"
#include "platform/registry/Registry.h"
#include "tests/common/TestSupport.h"
#include "tests/plugin/PhoneProcess.h"
#include "tools/homescreen/CurrentScheme.h"
#include "tools/homescreen/Scheme.h"

namespace {

namespace fs = std::filesystem;
using testsupport::WaitFor;

constexpr const char* kFormat =
    "<default><format font-size='14' padding-left='4' padding-top='3' fgcolor='COLOR_HOMETEXT'>"
    "<format state='selected' bgcolor='COLOR_HOMEHIGHLIGHT' fgcolor='COLOR_HOMEHIGHLIGHTTEXT'/>"
    "</format></default>";
constexpr const char* kCorvaneRow =
    "<plugin clsid='{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}' name='Corvane' height='22' autoheight='False'/>";

class HomeSchemeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_temp.Ok());
        m_folder = phonetest::InstallProgram(m_temp.Path());
        m_home = m_temp / "Application Data/Home";
        fs::create_directories(m_home);
    }
    void TearDown() override
    {
        if (m_screen > 0) {
            ::kill(m_screen, SIGKILL);
            ::waitpid(m_screen, nullptr, 0);
        }
        phonetest::KillScreensOf(fs::path(m_folder) / "Corvane");
    }

    // Writes a scheme file of the Home folder and makes it current.
    std::string Apply(const std::string& name, const std::string& text)
    {
        std::string path = m_home + "/" + name;
        std::ofstream(path) << text;
        EXPECT_TRUE(homescreen::SetCurrentScheme(platform::Utf8ToWide(path)));
        return path;
    }

    void StartHome()
    {
        int output = -1;
        m_screen = phonetest::Spawn(HOMESCREEN_PROGRAM, {}, &output);
        ASSERT_GT(m_screen, 0);
        ASSERT_TRUE(phonetest::ReadUntilReady(output).has_value());
    }

    std::vector<phonetest::ScreenText> Texts() const { return phonetest::ScreenTexts(m_screen); }
    // The texts the rows show, top to bottom, joined by "|"; the title strip
    // first, as "[title]".
    std::string Shown() const
    {
        std::string title;
        std::string rows;
        for (const phonetest::ScreenText& text : Texts()) {
            if (text.shell && text.rect.left < 20)
                title = "[" + text.text + "]";
            else if (!text.shell && text.text.find(':') == std::string::npos && text.text.find(" 20") == std::string::npos)
                rows += "|" + text.text;  // the date and the clock change: left out
        }
        return title + rows;
    }
    bool Shows(const std::string& expected) const
    {
        // The screen is read once per try: a second read could land in the
        // middle of the next repaint (the clock row redraws on its own).
        std::string last;
        bool seen = WaitFor([&] {
            last = Shown();
            return last == expected;
        });
        EXPECT_EQ(last, expected);
        return seen;
    }
    bool Alive() const { return ::waitpid(m_screen, nullptr, WNOHANG) == 0; }

    // Whether the row showing `text` has the selection's background at its
    // right end.
    bool Selected(const std::string& text) const
    {
        int y = -1;
        for (const phonetest::ScreenText& shown : Texts()) {
            if (!shown.shell && shown.text == text)
                y = shown.rect.top;
        }
        std::string file = m_temp / "shot.png";
        if (y < 0 || !phonetest::Remote(m_screen, "screenshot " + file))
            return false;
        std::shared_ptr<platform::gdi::Surface> shot = platform::display::ReadPng(file);
        return shot != nullptr && (shot->Row(y)[shot->Width() - 2] & 0xFFFFFF) != 0xFFFFFF;
    }
    bool SelectionOn(const std::string& text) const
    {
        return WaitFor([&] { return Selected(text); });
    }
    void Press(const std::string& keys) const { ASSERT_TRUE(phonetest::Remote(m_screen, "keys " + keys)); }

    // With CORVANE_SCREENSHOTS set, the screen as NAME-WIDTHxHEIGHT.png there.
    void Shoot(const std::string& name) const
    {
        const char* folder = std::getenv("CORVANE_SCREENSHOTS");
        const char* screen = std::getenv("CORVANE_SCREEN");
        if (folder != nullptr)
            phonetest::Remote(m_screen, "screenshot " + std::string(folder) + "/" + name + "-" +
                                            (screen != nullptr ? screen : "176x220") + ".png");
    }

    testsupport::TempFolder m_temp{"corvane-home"};
    std::string m_folder;
    std::string m_home;
    pid_t m_screen = -1;
};

TEST_F(HomeSchemeTest, ShowsTheSchemeDrivesThePluginAndFollowsTheCurrentScheme)
{
    Apply("tahoma.xml", std::string("<home><title>Tahoma</title>") + kFormat +
                            "<datetime/><operator name='Sim Mobile'/>" + kCorvaneRow + "</home>");
    StartHome();
    Shows("[Tahoma]|Sim Mobile|Offline");
    // The date and time row is the first one, and selected.
    std::vector<phonetest::ScreenText> texts = Texts();
    ASSERT_GE(texts.size(), 4u);
    EXPECT_LT(texts[0].rect.top, texts[2].rect.top);
    EXPECT_FALSE(texts[0].shell);
    EXPECT_NE(texts[1].text.find(':'), std::string::npos);
    EXPECT_FALSE(Selected("Sim Mobile"));

    Press("Down");
    EXPECT_TRUE(SelectionOn("Sim Mobile"));
    Press("Down");
    EXPECT_TRUE(SelectionOn("Offline"));
    EXPECT_FALSE(Selected("Sim Mobile"));
    Shoot("home-plugin-selected");
    Press("Down");  // the last row keeps the selection
    EXPECT_TRUE(SelectionOn("Offline"));

    // Action goes to the plug-in, which starts the program; the program (no
    // account) reports, and the row follows.
    Press("Enter");
    Shows("[Tahoma]|Sim Mobile|Disabled");

    // The configuration manager makes another scheme current: the plug-in
    // first, another operator, the title as the installer writes it.
    Apply("Corvane.tahoma.xml", std::string("<home><title>Corvane - Tahoma</title>") + kFormat + kCorvaneRow +
                                    "<operator name='Other Net'/><datetime/></home>");
    Shows("[Corvane - Tahoma]|Disabled|Other Net");
    EXPECT_TRUE(SelectionOn("Disabled"));
    Press("Up");  // the first row keeps the selection
    Press("Down");
    EXPECT_TRUE(SelectionOn("Other Net"));
    Shoot("home-plugin");
}

TEST_F(HomeSchemeTest, BadSchemesPluginsAndRegistryLeaveAWorkingHomeScreen)
{
    // A library file that is not a library, and a library without the
    // class object export.
    std::ofstream(m_folder + "/Broken.so") << "not a library";
    auto registerClass = [](const char* clsid, const std::string& library) {
        HKEY key = nullptr;
        std::u16string path = platform::Utf8ToWide(library);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, platform::Utf8ToWide(std::string("CLSID\\") + clsid + "\\InprocServer32").c_str(),
                                  0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, u"", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>((path.size() + 1) * sizeof(char16_t)));
        RegCloseKey(key);
    };
    registerClass("{11111111-1111-1111-1111-111111111111}", m_folder + "/Missing.so");
    registerClass("{22222222-2222-2222-2222-222222222222}", m_folder + "/Broken.so");
    registerClass("{33333333-3333-3333-3333-333333333333}", "libc.so.6");
    Apply("trouble.xml",
          std::string("<home><title>Trouble</title>") + kFormat +
              "<plugin clsid='{44444444-4444-4444-4444-444444444444}' name='Unregistered'/>"
              "<plugin clsid='{11111111-1111-1111-1111-111111111111}' name='Missing'/>"
              "<plugin clsid='{22222222-2222-2222-2222-222222222222}' name='Broken'/>"
              "<plugin clsid='{33333333-3333-3333-3333-333333333333}' name='Exportless'/>"
              "<plugin clsid='not a class' height='99999'/><operator name='Net A' height='abc'/>" +
              kCorvaneRow + "</home>");
    StartHome();
    Shows("[Trouble]|Unregistered unavailable|Missing unavailable|Broken unavailable|Exportless unavailable|"
          "Plug-in unavailable|Net A|Offline");
    // Placeholders are not selectable: the selection starts on the operator.
    EXPECT_TRUE(SelectionOn("Net A"));

    const std::string good = std::string("<home><title>Good</title><operator name='Net B'/></home>");
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"malformed.xml", "<home><title>Bad</title><operator name='x'>"},
        {"no-home.xml", "<layout><operator name='x'/></layout>"},
        {"empty.xml", ""},
        {"huge.xml", "<home>" + std::string(homescreen::kMaxSchemeBytes, ' ') + "<operator name='x'/></home>"},
    };
    for (const Case& bad : cases) {
        SCOPED_TRACE(bad.name);
        Apply("good.xml", good);
        Shows("[Good]|Net B");
        Apply(bad.name, bad.text);
        Shows("[Home]|Sim Mobile");  // the built-in scheme
    }
    // A scheme file that does not exist, and a Scheme value that is gone.
    Apply("good.xml", good);
    Shows("[Good]|Net B");
    ASSERT_TRUE(homescreen::SetCurrentScheme(u"/nowhere/scheme.xml"));
    Shows("[Home]|Sim Mobile");
    Apply("good.xml", good);
    Shows("[Good]|Net B");
    ASSERT_TRUE(homescreen::SetCurrentScheme(u""));
    Shows("[Home]|Sim Mobile");

    // A damaged registry file answers no Scheme value; repaired, it does.
    std::string registry = m_temp / "registry.xml";
    Apply("good.xml", good);
    Shows("[Good]|Net B");
    std::string saved;
    {
        std::ifstream in(registry);
        saved.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::ofstream(registry, std::ios::trunc) << "<registry><key name=";
    Shows("[Home]|Sim Mobile");
    std::ofstream(registry, std::ios::trunc) << saved;
    Shows("[Good]|Net B");
    EXPECT_TRUE(Alive());
}

TEST(HomeSchemeSetup, InitGivesAFreshDeviceTheDefaultSchemeOnce)
{
    testsupport::TempFolder device("corvane-home-init");
    setenv("CORVANE_DEVICE", device.Path().c_str(), 1);
    const std::string file = device / "Application Data/Home/default.xml";
    EXPECT_EQ(homescreen::InitDevice(), "scheme: " + file);
    EXPECT_EQ(homescreen::QueryCurrentScheme(), platform::Utf8ToWide(file));
    homescreen::Scheme shipped = homescreen::ReadScheme(platform::Utf8ToWide(file));
    EXPECT_EQ(shipped.error, "");
    ASSERT_EQ(shipped.rows.size(), 2u);
    EXPECT_EQ(shipped.rows[0].kind, homescreen::RowKind::DateTime);
    EXPECT_EQ(shipped.rows[1].kind, homescreen::RowKind::Operator);

    // A scheme the user chose stays, and so does an edited default file; a
    // path with quotes and an ampersand goes through the provisioning
    // document intact.
    const WideString chosen = u"/sd card/\"Tom & Jerry\" <1>.xml";
    ASSERT_TRUE(homescreen::SetCurrentScheme(chosen));
    std::ofstream(file, std::ios::trunc) << "<home><title>Mine</title></home>";
    EXPECT_EQ(homescreen::InitDevice(), "scheme: " + platform::WideToUtf8(chosen));
    EXPECT_EQ(homescreen::QueryCurrentScheme(), chosen);
    EXPECT_EQ(homescreen::ReadScheme(platform::Utf8ToWide(file)).title, u"Mine");
}

}  // namespace
