// The main window run headless on a core without an account: what the
// status bar, the soft keys, the tool bar and the rebuilt menus show as
// settings and events change, and what the number keys and the left soft
// key do.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "app/main/UIDispatcherWnd.h"
#include "oscar/SessionEvents.h"
#include "platform/display/Display.h"
#include "platform/win/Menu.h"
#include "platform/win/MessageBox.h"
#include "skin/Look.h"
#include "tests/common/TestSupport.h"
#include "ui/KeyActions.h"
#include "ui/MainLayout.h"
#include "ui/MainWindow.h"
#include "ui/framework/Resources.h"

namespace {

using namespace platform::display;

WideString Wide(const std::string& text) { return WideString(text.begin(), text.end()); }

void Pump()
{
    MSG message;
    for (int round = 0; round < 5; ++round) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

TEST(KeyActionsTest, LeftSoftKeyLabel)
{
    struct Case {
        const char* name;
        std::int32_t action;
        bool showOffline;
        const char16_t* label;
    } cases[] = {
        {"show offline while hidden", KeyAction::ShowOffline, false, u"Show Offline"},
        {"show offline while shown", KeyAction::ShowOffline, true, u"Hide Offline"},
        {"none", KeyAction::None, false, u"None"},
        {"find", KeyAction::Find, false, u"Find"},
        {"ten is outside", 10, false, u"QUIT"},
        {"negative is outside", -1, false, u"QUIT"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(keyactions::LeftSoftKeyLabel(c.action, c.showOffline), c.label) << c.name;
}

TEST(MainLayoutTest, ElevenCodesStackTheBarsTopToBottom)
{
    // Client 100 high, status bar 10, tool bar 20: the list gets the rest.
    const RECT client{0, 0, 50, 100};
    struct Case {
        int code;
        int listTop, statusTop, toolbarTop;  // -1: not shown
    } cases[] = {
        {1, 0, -1, -1},  {2, 0, 90, -1},   {3, 0, -1, 80},   {4, 0, 70, 80},   {5, 0, 90, 70},  {6, 10, 0, -1},
        {7, 10, 0, 80},  {8, 30, 0, 10},   {9, 20, -1, 0},   {10, 20, 90, 0},  {11, 30, 20, 0}, {0, 0, 90, -1},
    };
    for (const Case& c : cases) {
        mainlayout::Areas areas = mainlayout::Compute(c.code, client, 10, 20);
        int listHeight = 100 - (c.statusTop >= 0 ? 10 : 0) - (c.toolbarTop >= 0 ? 20 : 0);
        EXPECT_EQ(areas.list.top, c.listTop) << c.code;
        EXPECT_EQ(areas.list.bottom - areas.list.top, listHeight) << c.code;
        EXPECT_EQ(areas.list.right, 50) << c.code;
        EXPECT_EQ(c.statusTop >= 0 ? areas.status.top : -1, c.statusTop) << c.code;
        EXPECT_EQ(c.toolbarTop >= 0 ? areas.toolbar.top : -1, c.toolbarTop) << c.code;
    }
}

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.Ok());
        app::SetInstance(GetModuleHandleW(nullptr));
        resources::RegisterProgramResources(app::Instance());
        app::SetAppFolder(Wide(m_folder.Path() + "/"));
        if (!s_dispatcher) {
            s_dispatcher = MakeRef<UIDispatcherWnd>();
            s_dispatcher->CreateDispatcher();
        }
    }
    void TearDown() override
    {
        if (m_window)
            m_window->Destroy();
        Pump();
        if (m_core)
            m_core->StopWorker();
        app::SetCore(nullptr);
    }

    void WriteSettings(const std::string& lines)
    {
        std::ofstream(m_folder / "Corvane.config", std::ios::binary) << lines;
    }
    std::string SettingsFile() const
    {
        std::ifstream in(m_folder / "Corvane.config", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Starts a core (no account) and the window; `skinFile` is a skin of
    // the source tree, or empty for the built-in look.
    void Start(const std::string& settings, const std::string& skinFolder = "")
    {
        WriteSettings(settings);
        MainWindow::Outlets outlets = MainWindow::DefaultOutlets();
        outlets.ask = [this](HWND, const WCHAR* text, const WCHAR*, UINT) {
            questions.push_back(text);
            return answer;
        };
        outlets.quit = [this] { ++quits; };
        outlets.keyConfig = [this](AppCore&, HWND) { return ++keyConfigs, 0; };
        m_window = MakeRef<MainWindow>(std::move(outlets));
        AppCoreParts parts;
        parts.loadLook = [skinFolder](AppCore& core) {
            skin::LoadLook(core);
            if (!skinFolder.empty()) {
                RefPtr<skin::Skin> look = MakeRef<skin::Skin>();
                look->Load(Wide(testsupport::SourcePath(skinFolder) + "/"), u"Default.Skin.xml");
                skin::ReplaceSkin(core, look);
            }
        };
        m_core = MakeRef<AppCore>(m_window.Get(), std::move(parts));
        app::SetCore(m_core.Get());
        m_core->Start();
        ASSERT_NE(m_window->CreateMainWindow(), nullptr);
        m_window->Show(SW_SHOW);
        Pump();
    }

    // Events of the worker stage reach the window from the worker thread:
    // pumps until the condition holds.
    template <typename Condition>
    bool PumpUntil(Condition&& condition)
    {
        return testsupport::WaitFor([&] {
            Pump();
            UpdateWindow(m_window->Window());
            return condition();
        });
    }
    void Deliver(const RefPtr<AppEvent>& event)
    {
        m_core->Post(event);
        Pump();
        UpdateWindow(m_window->Window());
    }

    // Texts on the screen: those of the main window, or the shell's strips.
    std::vector<WideString> Texts(bool shell = false)
    {
        std::vector<ShownText> shown;
        Capture(&shown);
        std::vector<WideString> texts;
        for (const ShownText& text : shown) {
            if (text.window == (shell ? nullptr : m_window->Window()))
                texts.push_back(text.text);
        }
        return texts;
    }
    bool Shows(const WideString& text, bool shell = false)
    {
        for (const WideString& shown : Texts(shell)) {
            if (shown == text)
                return true;
        }
        return false;
    }

    std::vector<WideString> MenuTexts(HMENU menu)
    {
        std::vector<WideString> texts;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            WCHAR buffer[64] = {};
            MENUITEMINFOW info;
            info.fMask = MIIM_STRING;
            info.dwTypeData = buffer;
            info.cch = 63;
            GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
            texts.emplace_back(buffer);
        }
        return texts;
    }

    static inline RefPtr<UIDispatcherWnd> s_dispatcher;
    testsupport::TempFolder m_folder{"corvane-main"};
    RefPtr<MainWindow> m_window;
    RefPtr<AppCore> m_core;
    std::vector<WideString> questions;
    int answer = IDCANCEL;
    int quits = 0;
    int keyConfigs = 0;
};

TEST_F(MainWindowTest, StatusBarFollowsTheSessionsEvents)
{
    Start("ICQ_ENABLED=True\r\nUIN=100001\r\n");
    EXPECT_TRUE(Shows(u"ICQ Offline"));

    struct Step {
        RefPtr<AppEvent> event;
        const char16_t* status;
        const char16_t* plugin;
    } steps[] = {
        {MakeRef<oscar::StatusTextEvent>(u"Logging on"), u"ICQ Logging on", u"Logging on"},
        {MakeRef<oscar::StatusCodeEvent>(EventType::OwnStatusConfirmed, 0x0011), u"ICQ Occupied", u"Logging on"},
        {MakeRef<oscar::StatusCodeEvent>(EventType::OwnStatusConfirmed, 0x0000), u"ICQ Online", u"Logging on"},
        {MakeRef<AppEvent>(EventType::SessionOffline), u"ICQ Offline", u"Logging on"},
        {MakeRef<AppEvent>(EventType::DataLinkDown), u"ICQ Offline", u"Offline"},
    };
    for (const Step& step : steps) {
        Deliver(step.event);
        EXPECT_TRUE(PumpUntil([&] { return Shows(step.status) && m_window->PluginText() == step.plugin; }))
            << "event " << step.event->Type();
        EXPECT_EQ(m_window->PluginText(), step.plugin) << "event " << step.event->Type();
    }
    // Without an account, "Connecting" is not claimed.
    Deliver(MakeRef<AppEvent>(EventType::DataLinkWaiting));
    Deliver(MakeRef<oscar::StatusTextEvent>(u"Finding host"));
    EXPECT_TRUE(PumpUntil([&] { return Shows(u"ICQ Finding host"); }));

    WriteSettings("ICQ_ENABLED=False\r\n");
    Deliver(MakeRef<AppEvent>(EventType::SettingsChanged));
    EXPECT_TRUE(PumpUntil([&] { return Shows(u"No active account"); }));
}

TEST_F(MainWindowTest, NumberKeysAndTheLeftSoftKeyRunTheirActions)
{
    Start("ICQ_ENABLED=True\r\nKEY9=NONE\r\nKEY0=QUIT\r\nKEY1=SHOWOFFLINE\r\nKEY3=SOUND\r\nLSOFTKEY=NONE\r\n");
    EXPECT_TRUE(Shows(u"None", true)) << "LSOFTKEY NONE is labelled None";

    // Unbound digit and NONE soft key: nothing is saved, nothing asked.
    std::string before = SettingsFile();
    for (UINT key : {UINT('9'), VK_SOFT1}) {
        PressKey(key);
        Pump();
    }
    EXPECT_EQ(SettingsFile(), before);
    EXPECT_TRUE(questions.empty());

    // Toggles are saved at once and relabel the soft key.
    PressKey('3');
    Pump();
    EXPECT_NE(SettingsFile().find("SOUND=False"), std::string::npos);
    WriteSettings(SettingsFile() + "LSOFTKEY=SHOWOFFLINE\r\n");
    Deliver(MakeRef<AppEvent>(EventType::SettingsChanged));
    EXPECT_TRUE(PumpUntil([&] { return Shows(u"Show Offline", true); }));
    PressKey('1');
    Pump();
    EXPECT_NE(SettingsFile().find("SHOW_OFFLINE=True"), std::string::npos);
    EXPECT_TRUE(PumpUntil([&] { return Shows(u"Hide Offline", true); }));

    // Quit asks first; only OK quits.
    PressKey('0');
    Pump();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], u"Quit?");
    EXPECT_EQ(quits, 0);
    EXPECT_FALSE(m_window->Quitting());
    answer = IDOK;
    PressKey('0');
    Pump();
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(m_window->Quitting());

    // "Toolbar" opens the key configuration.
    SendMessageW(m_window->Window(), WM_COMMAND, maincommand::kToolbar, 0);
    EXPECT_EQ(keyConfigs, 1);
}

TEST_F(MainWindowTest, MenuIsRebuiltEachTimeItOpens)
{
    Start("ICQ_ENABLED=True\r\nUIN=100001\r\n");
    HMENU menu = m_window->MenuPopup();
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(m_window->UserPopup(), nullptr);
    const std::vector<WideString> expected = {u"User", u"Configuration", u"About...", u"ICQ Status"};
    for (int opening = 0; opening < 2; ++opening) {
        SendMessageW(m_window->Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 1);
        EXPECT_EQ(MenuTexts(menu), expected) << "opening " << opening;
        SendMessageW(m_window->Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(m_window->UserPopup()), 0);
        EXPECT_EQ(MenuTexts(m_window->UserPopup()), (std::vector<WideString>{u"Chat", u"Info"}));
    }
    HMENU status = GetSubMenu(menu, 3);
    EXPECT_EQ(MenuTexts(status), (std::vector<WideString>{u"Online", u"Away", u"Not Available", u"Occupied",
                                                          u"Do Not Disturb", u"Free For Chat", u"Invisible",
                                                          u"Offline"}));
    EXPECT_EQ(GetMenuItemID(status, 7), 41308u);
    // Neither a contact nor a session: "User" is greyed.
    MENUITEMINFOW info;
    info.fMask = MIIM_STATE;
    GetMenuItemInfoW(menu, 0, TRUE, &info);
    EXPECT_EQ(info.fState & MFS_GRAYED, MFS_GRAYED);

    WriteSettings("ICQ_ENABLED=False\r\n");
    Deliver(MakeRef<AppEvent>(EventType::SettingsChanged));
    SendMessageW(m_window->Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 1);
    EXPECT_EQ(MenuTexts(menu), (std::vector<WideString>{u"User", u"Configuration", u"About..."}));
}

TEST_F(MainWindowTest, ToolBarShowsTheBoundActionsAndSurvivesMissingImages)
{
    Start("ICQ_ENABLED=True\r\nKEY1=SHOWOFFLINE\r\n", "assets/Skin/Default");
    RefPtr<skin::Skin> look = skin::CurrentSkin(*m_core);
    ASSERT_GT(look->ToolbarPosition(), 0);
    RECT client{};
    GetClientRect(m_window->Window(), &client);
    mainlayout::Areas areas = mainlayout::Compute(look->Layout(), client, look->statusHeight, look->ToolbarHeight());
    RECT frame{};
    GetWindowRect(m_window->Window(), &frame);
    POINT origin{frame.left, frame.top};
    // The first button (key 1).
    auto button = [&] {
        auto screen = Capture();
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < look->ToolbarHeight(); ++y) {
            for (int x = 2; x < 2 + look->toolbarButtonWidth; ++x)
                pixels.push_back(screen->Row(origin.y + areas.toolbar.top + y)[origin.x + x]);
        }
        return pixels;
    };
    auto showOffline = button();
    WriteSettings("ICQ_ENABLED=True\r\nKEY1=NONE\r\n");
    Deliver(MakeRef<AppEvent>(EventType::SettingsChanged));
    EXPECT_TRUE(PumpUntil([&] { return button() != showOffline; }));
    auto none = button();
    WriteSettings("ICQ_ENABLED=True\r\nUIN=100001\r\nKEY1=QUIT\r\n");
    Deliver(MakeRef<AppEvent>(EventType::SettingsChanged));
    EXPECT_TRUE(PumpUntil([&] { return button() != none; }));
    EXPECT_NE(button(), showOffline);

    // A skin whose images are all missing: the window still draws its text
    // and answers keys.
    std::ifstream source(testsupport::SourcePath("assets/Skin/Default/Default.Skin.xml"), std::ios::binary);
    std::ofstream(m_folder / "Bare.Skin.xml", std::ios::binary) << source.rdbuf();
    RefPtr<skin::Skin> bare = MakeRef<skin::Skin>();
    bare->Load(Wide(m_folder.Path() + "/"), u"Bare.Skin.xml");
    skin::ReplaceSkin(*m_core, bare);
    m_window->Invalidate();
    UpdateWindow(m_window->Window());
    ASSERT_TRUE(bare->backgroundImage);
    PressKey(VK_DOWN_KEY);
    EXPECT_TRUE(PumpUntil([&] { return Shows(u"ICQ Offline"); }));
    EXPECT_TRUE(bare->backgroundImage->Failed());
}

}  // namespace
