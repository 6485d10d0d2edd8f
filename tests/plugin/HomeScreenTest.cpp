// The plug-in library loaded by a home screen (tests/plugin/support) from
// the device registry, with the program (or this test in its place) sending
// the state, and the row selected while the program runs and while it does
// not.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "home/PluginLink.h"
#include "platform/base/WideString.h"
#include "platform/display/Display.h"
#include "platform/display/Png.h"
#include "platform/display/RemoteControl.h"
#include "platform/registry/Registry.h"
#include "platform/win/Window.h"
#include "tests/common/TestSupport.h"
#include "tests/plugin/PhoneProcess.h"
#include "ui/MainWindow.h"

namespace {

namespace fs = std::filesystem;
using phonetest::Spawn;
using testsupport::WaitFor;

constexpr const WCHAR* kListenerClass = u"C393EBFC-31A9-449A-9CC6-5CD2EE03F174";

class HomeScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_temp.Ok());
        m_folder = phonetest::InstallProgram(m_temp.Path());
        std::ofstream(m_temp / "layout.xml")
            << "<home><default><format font-size='14' padding-left='4' padding-top='3' b-border-width='1'>"
               "<format state='selected' bgcolor='COLOR_HOMEHIGHLIGHT' fgcolor='COLOR_HOMEHIGHLIGHTTEXT'/>"
               "</format></default><plugin clsid='{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}' name='Corvane'"
               " height='22' show-b-border='1'/></home>";
    }
    void TearDown() override
    {
        for (pid_t pid : m_children) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        // A program the home screen started is not our child: it is the copy
        // in this test's program folder.
        phonetest::KillScreensOf(fs::path(m_folder) / "Corvane");
    }

    // Starts the home screen; returns what it printed before it was ready.
    std::string StartHome(const std::vector<std::string>& options = {})
    {
        std::string host = (fs::read_symlink("/proc/self/exe").parent_path() / "plugin_support").string();
        std::vector<std::string> arguments{m_temp / "layout.xml"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        int output = -1;
        m_host = Spawn(host, arguments, &output);
        EXPECT_GT(m_host, 0);
        m_children.push_back(m_host);
        std::optional<std::string> printed = phonetest::ReadUntilReady(output);
        EXPECT_TRUE(printed.has_value());
        return printed.value_or("");
    }

    pid_t StartProgram(const std::string& config)
    {
        std::ofstream(m_folder + "/Corvane.config") << config;
        pid_t pid = Spawn(m_folder + "/Corvane", {});
        m_children.push_back(pid);
        EXPECT_TRUE(WaitFor([] { return FindWindowW(kMainWindowClass, kMainWindowTitle) != nullptr; }));
        return pid;
    }

    static bool Ended(pid_t pid)
    {
        return WaitFor([pid] {
            int status = 0;
            return ::waitpid(pid, &status, WNOHANG) == pid;
        });
    }

    // The texts the home screen's window shows, joined by "|".
    std::string Row() const
    {
        std::optional<std::string> reply =
            platform::display::RemoteCall(platform::display::ScreenSocketName(static_cast<unsigned long>(m_host)), "text");
        std::string row;
        std::size_t start = 0;
        while (reply && start < reply->size()) {
            std::size_t end = reply->find('\n', start);
            std::string line = reply->substr(start, end - start);
            start = end == std::string::npos ? reply->size() : end + 1;
            std::size_t quote = line.find('"');
            if (line.rfind("0x", 0) != 0 || quote == std::string::npos)
                continue;
            row += (row.empty() ? "" : "|") + line.substr(quote + 1, line.size() - quote - 2);
        }
        return row;
    }
    bool RowBecomes(const std::string& expected) const
    {
        // One read per try: a second one could land in the middle of a repaint.
        std::string last;
        bool seen = WaitFor([&] {
            last = Row();
            return last == expected;
        });
        EXPECT_EQ(last, expected);
        return seen;
    }

    std::vector<pid_t> ScreenPids() const
    {
        std::vector<pid_t> pids;
        for (const std::string& name : platform::display::ScreenSockets())
            pids.push_back(static_cast<pid_t>(std::stol(name.substr(name.find('-') + 1))));
        return pids;
    }
    std::vector<pid_t> ProgramPids() const
    {
        std::vector<pid_t> pids = ScreenPids();
        std::erase(pids, m_host);
        return pids;
    }

    // The colour at the right end of the row (the home screen puts it 24
    // pixels below the top of the work area), as the home screen shows it.
    platform::gdi::Pixel RowBackground() const
    {
        std::string file = m_temp / "row.png";
        platform::display::RemoteCall(platform::display::ScreenSocketName(static_cast<unsigned long>(m_host)),
                                      "screenshot " + file);
        std::shared_ptr<platform::gdi::Surface> shot = platform::display::ReadPng(file);
        return shot != nullptr ? shot->Row(platform::display::LayoutFromEnvironment().titleHeight + 24 + 2)[shot->Width() - 2] & 0xFFFFFF : 0;
    }
    bool RowSelected(bool selected) const
    {
        return WaitFor([&] { return (RowBackground() == 0xFFFFFF) != selected; });
    }

    // With CORVANE_SCREENSHOTS set, the home screen as a PNG in that folder
    // (name-WIDTHxHEIGHT.png), for the screenshots of the row's states.
    void Shoot(const std::string& name) const
    {
        const char* folder = std::getenv("CORVANE_SCREENSHOTS");
        const char* screen = std::getenv("CORVANE_SCREEN");
        if (folder == nullptr)
            return;
        std::string file = std::string(folder) + "/" + name + "-" + (screen != nullptr ? screen : "176x220") + ".png";
        platform::display::RemoteCall(platform::display::ScreenSocketName(static_cast<unsigned long>(m_host)),
                                      "screenshot " + file);
    }

    void PressOnHome(const std::string& key) const
    {
        ASSERT_TRUE(platform::display::RemoteCall(
            platform::display::ScreenSocketName(static_cast<unsigned long>(m_host)), "keys " + key));
    }

    testsupport::TempFolder m_temp{"corvane-plugin"};
    std::string m_folder;
    pid_t m_host = -1;
    std::vector<pid_t> m_children;
};

void Send(HWND listener, std::uintptr_t dwData, std::vector<BYTE> payload)
{
    COPYDATASTRUCT data{dwData, static_cast<DWORD>(payload.size()), payload.empty() ? nullptr : payload.data()};
    SendMessageW(listener, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

TEST_F(HomeScreenTest, RowShowsEachStateMessage)
{
    StartHome();
    RowBecomes("Offline");
    Shoot("plugin-offline");
    HWND listener = FindWindowW(kListenerClass, u"ICQPlugin");
    ASSERT_NE(listener, nullptr);

    Send(listener, 1, home::EncodePluginState({true, 5, 1, u"Online"}));
    RowBecomes("ICQ|Online (5)");
    EXPECT_TRUE(RowSelected(true));
    Shoot("plugin-online-unread-selected");
    PressOnHome("Up");  // the selection leaves the row
    EXPECT_TRUE(RowSelected(false));
    Shoot("plugin-online-unread");
    PressOnHome("Down");
    EXPECT_TRUE(RowSelected(true));
    Send(listener, 1, home::EncodePluginState({true, -1, 0, u"Logging on"}));
    RowBecomes("ICQ|Logging on");
    Shoot("plugin-logging-on");
    Send(listener, 1, {0, 0, 0, 0});
    RowBecomes("Disabled");
    Shoot("plugin-disabled");
    Send(listener, 0, {});
    RowBecomes("Offline");
}

TEST_F(HomeScreenTest, LibraryRemovesAndWritesItsOwnRegistration)
{
    // The second removal finds nothing to remove; the registration names the
    // library file the home screen loaded.
    EXPECT_EQ(StartHome({"--reregister"}), "unregister 0x00000000 again 0x80004005 register 0x00000000\n");
    const WideString key = u"CLSID\\{FCCE0008-C09E-4FE2-8B57-6D753D2127AD}";
    EXPECT_EQ(platform::registry::ReadString(HKEY_CLASSES_ROOT, key), u"CorvaneICQ Plugin");
    EXPECT_EQ(platform::registry::ReadString(HKEY_CLASSES_ROOT, key + u"\\InprocServer32"),
              platform::Utf8ToWide(m_folder + "/CorvanePlugin.so"));
}

TEST_F(HomeScreenTest, RowFollowsTheRunningProgram)
{
    // The program runs first: the plug-in announces itself and is answered.
    pid_t program = StartProgram("UIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=127.0.0.1:1\r\n");
    StartHome();
    // An account that cannot reach its server: a status text, no count.
    ASSERT_TRUE(WaitFor([&] { return Row().rfind("ICQ|", 0) == 0; })) << Row();
    EXPECT_EQ(Row().find('('), std::string::npos) << Row();

    // Quitting says so.
    ::kill(program, SIGTERM);
    EXPECT_TRUE(Ended(program));
    RowBecomes("Offline");

    // Without an account the program reports itself disabled.
    StartProgram("");
    RowBecomes("Disabled");
}

TEST_F(HomeScreenTest, SelectingTheRowBringsTheProgramOrStartsIt)
{
    pid_t program = StartProgram("");
    StartHome();
    RowBecomes("Disabled");
    ASSERT_EQ(ProgramPids(), std::vector<pid_t>{program});

    // Running: brought to the front, no second copy.
    PressOnHome("Enter");
    std::string windows;
    EXPECT_TRUE(WaitFor([&] {
        windows = platform::display::RemoteCall(platform::display::ScreenSocketName(static_cast<unsigned long>(program)),
                                                "windows")
                      .value_or("");
        return windows.find("\"Corvane\"") != std::string::npos && windows.find("foreground") != std::string::npos;
    })) << windows;
    PressOnHome("Down");  // a round trip through the home screen after the selection
    EXPECT_EQ(Row(), "Disabled");
    EXPECT_EQ(ProgramPids(), std::vector<pid_t>{program});

    ::kill(program, SIGTERM);
    ASSERT_TRUE(Ended(program));
    RowBecomes("Offline");

    // Not running: started from the plug-in's folder, and it reports.
    PressOnHome("Enter");
    EXPECT_TRUE(WaitFor([] { return FindWindowW(kMainWindowClass, kMainWindowTitle) != nullptr; }));
    RowBecomes("Disabled");
    // A second copy started while the first was still coming up finds it,
    // hands it the front and ends: wait until one copy is left.
    std::vector<pid_t> started;
    EXPECT_TRUE(WaitFor([&] {
        started = ProgramPids();
        return started.size() == 1;
    }));
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(started[0]) + "/exe"), fs::path(m_folder) / "Corvane");
    ::kill(started[0], SIGTERM);
    RowBecomes("Offline");
}

}  // namespace
