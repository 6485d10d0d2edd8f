// The soft-key bar made from the program's resources: labels in the strip,
// plain and menu buttons, relabelling, and the Back key's override.
#include <atomic>
#include <thread>

#include "tests/common/TestSupport.h"
#include "tests/platform/menu/MenuFixture.h"
#include "ui/framework/Resources.h"

namespace {

using namespace menutest;
using namespace platform::display;

class SoftKeyBarTest : public MenuFixture {
protected:
    void SetUp() override
    {
        MenuFixture::SetUp();
        ASSERT_TRUE(resources::RegisterProgramResources(GetModuleHandleW(nullptr)));
    }
    HWND MakeBar(UINT id, HWND parent = nullptr)
    {
        SHMENUBARINFO info;
        info.hwndParent = parent != nullptr ? parent : owner;
        info.nToolBarId = id;
        info.hInstRes = GetModuleHandleW(nullptr);
        return SHCreateMenuBar(&info) ? info.hwndMB : nullptr;
    }
    static UINT LastCommand()
    {
        auto commands = Only(WM_COMMAND);
        return commands.empty() ? 0 : static_cast<UINT>(commands.back().wParam);
    }
};

TEST_F(SoftKeyBarTest, ButtonsCommandOpenTheirMenuAndAreRelabelled)
{
    HWND bar = MakeBar(resources::kBarMain);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SHFindMenuBar(owner), bar);
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_TRUE(Shows("Quit", true));
    EXPECT_TRUE(Shows("Menu", true));

    // The left key's command reaches the owner whatever has the focus.
    Keys({VK_SOFT1});
    Pump();
    EXPECT_EQ(LastCommand(), 2000u);

    // The right key opens the bar menu's second item: Menu > User > Chat.
    auto menu = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETMENU, 0, 0));
    ASSERT_NE(menu, nullptr);
    HMENU menuPopup = GetSubMenu(menu, 1);
    HMENU userPopup = GetSubMenu(menuPopup, 0);
    ASSERT_NE(userPopup, nullptr);
    g_received.clear();
    Keys({VK_SOFT2, '1', '1'});
    Pump();
    EXPECT_EQ(LastCommand(), 41001u);
    auto inits = Only(WM_INITMENUPOPUP);
    ASSERT_EQ(inits.size(), 2u);
    EXPECT_EQ(inits[0].wParam, reinterpret_cast<WPARAM>(menuPopup));
    EXPECT_EQ(LOWORD(static_cast<WPARAM>(inits[0].lParam)), 1);
    EXPECT_EQ(inits[1].wParam, reinterpret_cast<WPARAM>(userPopup));

    // Relabelled and greyed by command; a greyed key does nothing.
    TBBUTTONINFOW info;
    info.dwMask = TBIF_TEXT;
    std::u16string label = u"Hide Offline";
    info.pszText = label.data();
    EXPECT_TRUE(SendMessageW(bar, TB_SETBUTTONINFO, 2000, reinterpret_cast<LPARAM>(&info)));
    EXPECT_TRUE(Shows("Hide Offline", true));
    EXPECT_FALSE(Shows("Quit", true));
    EXPECT_FALSE(SendMessageW(bar, TB_SETBUTTONINFO, 4242, reinterpret_cast<LPARAM>(&info)));
    info.dwMask = TBIF_STATE;
    info.fsState = 0;
    EXPECT_TRUE(SendMessageW(bar, TB_SETBUTTONINFO, 2000, reinterpret_cast<LPARAM>(&info)));
    g_received.clear();
    Keys({VK_SOFT1});
    Pump();
    EXPECT_EQ(LastCommand(), 0u);

    // The bar goes with its owner; a missing resource or parent makes none.
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(bar));
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_EQ(MakeBar(resources::kBarMain, reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x4444))), nullptr);
    SHMENUBARINFO missing;
    missing.hwndParent = nullptr;
    EXPECT_FALSE(SHCreateMenuBar(&missing));
    EXPECT_FALSE(SHCreateMenuBar(nullptr));
}

TEST_F(SoftKeyBarTest, MissingResourceMakesNoBar)
{
    EXPECT_EQ(MakeBar(1999), nullptr);
    EXPECT_EQ(SHFindMenuBar(owner), nullptr);
    HWND bar = MakeBar(resources::kBarOkCancel);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(Shows("OK", true));
    Keys({VK_SOFT2});
    Pump();
    EXPECT_EQ(LastCommand(), 2003u);
}

// The owner goes away from inside its own menu (as a screen that closes
// itself on WM_INITMENUPOPUP or on a chosen command would): the bar, its menu
// and the pop-up go with it and nothing touches them afterwards.
TEST_F(SoftKeyBarTest, OwnerDestroyedFromItsMenuTakesBarAndMenuAlong)
{
    for (UINT destroyOn : {static_cast<UINT>(WM_INITMENUPOPUP), static_cast<UINT>(WM_COMMAND)}) {
        SCOPED_TRACE(destroyOn);
        if (!IsWindow(owner))
            MenuFixture::SetUp();
        HWND bar = MakeBar(resources::kBarChat);
        ASSERT_NE(bar, nullptr);
        auto menu = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETMENU, 0, 0));
        g_react = [destroyOn](HWND window, UINT message, WPARAM, LPARAM) {
            if (message == destroyOn)
                DestroyWindow(window);
        };
        Keys({VK_SOFT2, '2', VK_BACK_KEY});
        Pump();
        g_react = nullptr;
        EXPECT_FALSE(IsWindow(owner));
        EXPECT_FALSE(IsWindow(bar));
        EXPECT_FALSE(IsMenu(menu));
        EXPECT_EQ(SHFindMenuBar(owner), nullptr);
    }
}

// Back goes to the focus as a key until the screen overrides it; then it
// arrives at the screen as WM_HOTKEY, which the screen hands back to the
// focused control.
TEST_F(SoftKeyBarTest, BackOverrideArrivesAsHotKeyAndIsHandedToTheFocus)
{
    HWND edit = CreateWindowExW(0, u"MenuOwner", u"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, owner, nullptr,
                                nullptr, nullptr);
    SetFocus(edit);
    HWND bar = MakeBar(resources::kBarSettings);
    ASSERT_NE(bar, nullptr);
    g_received.clear();
    Keys({VK_BACK_KEY});
    Pump();
    ASSERT_EQ(Only(WM_KEYDOWN).size(), 1u);
    EXPECT_EQ(Only(WM_KEYDOWN)[0].window, edit);
    EXPECT_TRUE(Only(WM_HOTKEY).empty());

    EXPECT_TRUE(SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_BACK_KEY,
                             MAKELONG(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY)));
    g_react = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_HOTKEY && HIWORD(static_cast<WPARAM>(lParam)) == VK_BACK_KEY)
            SHSendBackToFocusWindow(message, wParam, lParam);
        (void)window;
    };
    g_received.clear();
    Keys({VK_BACK_KEY});
    Pump();
    std::vector<std::pair<UINT, HWND>> got;
    for (const Received& r : g_received)
        got.emplace_back(r.message, r.window);
    std::vector<std::pair<UINT, HWND>> expected{
        {WM_HOTKEY, owner}, {WM_KEYDOWN, edit}, {WM_HOTKEY, owner}, {WM_KEYUP, edit}};
    EXPECT_EQ(got, expected);
    EXPECT_EQ(g_received[1].wParam, VK_BACK_KEY);

    // Without the notification the override only swallows the key.
    SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_BACK_KEY, MAKELONG(SHMBOF_NOTIFY, 0));
    g_received.clear();
    Keys({VK_BACK_KEY});
    Pump();
    EXPECT_TRUE(g_received.empty());
}

}  // namespace

namespace {

using namespace menutest;
using namespace platform::display;
using testsupport::WaitFor;

// The main window's menu and its "User" submenu as the screen shows them: the
// menu rises from the bottom right corner above the strip, the submenu opens
// to its left, the selected rows are blue bars, and the strip reads Select /
// Cancel.
TEST_F(SoftKeyBarTest, MenuRisesFromTheBottomRightAndItsSubmenuOpensLeft)
{
    ASSERT_NE(MakeBar(resources::kBarMain), nullptr);
    std::vector<ShownText> seen;
    std::shared_ptr<platform::gdi::Surface> screen;
    std::atomic<bool> done{false};
    RECT menuRect{};
    RECT userRect{};
    std::thread looker([&] {
        PressKey(VK_SOFT2);
        WaitFor([&] { return Shows("3 About..."); });
        PressKey(VK_RIGHT_KEY);
        WaitFor([&] { return Shows("2 Info"); });
        screen = Capture(&seen);
        for (const ShownText& t : seen) {
            if (t.text == u"1 User")
                GetWindowRect(t.window, &menuRect);
            if (t.text == u"1 Chat")
                GetWindowRect(t.window, &userRect);
        }
        SaveScreenshot(std::string(getenv("CORVANE_DEVICE")) + "/menu-" + std::to_string(Layout().width) + ".png");
        PressKey(VK_BACK_KEY);
        PressKey(VK_BACK_KEY);
        done = true;
        PostMessageW(owner, WM_NULL, 0, 0);
    });
    MSG message;
    while (!done && GetMessageW(&message, nullptr, 0, 0))
        DispatchMessageW(&message);
    looker.join();
    ASSERT_TRUE(screen);
    auto find = [&](const std::string& text) {
        for (const ShownText& t : seen) {
            if (platform::WideToUtf8(t.text) == text)
                return t;
        }
        ADD_FAILURE() << "not shown: " << text;
        return ShownText{};
    };
    ShownText user = find("1 User");
    ShownText chat = find("1 Chat");
    find("Select");
    find("Cancel");
    EXPECT_EQ(menuRect.right, Layout().width);
    EXPECT_EQ(menuRect.bottom, Layout().WorkArea().bottom);
    EXPECT_LT(userRect.left, menuRect.left);
    EXPECT_LE(userRect.right, menuRect.left + 6);
    auto pixel = [&](int x, int y) { return platform::gdi::ToColorRef(screen->Row(y)[x]); };
    int userMiddle = (user.rect.top + user.rect.bottom) / 2;
    int chatMiddle = (chat.rect.top + chat.rect.bottom) / 2;
    EXPECT_EQ(pixel(menuRect.right - 3, userMiddle), RGB(0x31, 0x6A, 0xC5));
    EXPECT_EQ(pixel(userRect.left + 2, chatMiddle), RGB(0x31, 0x6A, 0xC5));
    EXPECT_EQ(pixel(menuRect.right - 3, menuRect.bottom - 3), RGB(0xFF, 0xFF, 0xFF));  // "About..." is not selected
    EXPECT_FALSE(Shows("Select", true));  // no pop-up is left
}

}  // namespace
