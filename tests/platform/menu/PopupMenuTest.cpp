// Pop-up menus driven by keys: numbers, wrapping, submenus, Back; rebuilding
// on WM_INITMENUPOPUP; menus and owners destroyed or changed while open.
#include <algorithm>
#include <string>
#include <thread>

#include "tests/common/TestSupport.h"
#include "tests/platform/menu/MenuFixture.h"

namespace {

using namespace menutest;
using namespace platform::display;
using testsupport::WaitFor;

class PopupMenuTest : public MenuFixture {
public:
    // 1 Chat, 2 Info (greyed), separator, 3 More > (1 Alpha, 2 Beta), 4 Last.
    void SetUp() override
    {
        MenuFixture::SetUp();
        menu = CreatePopupMenu();
        more = CreatePopupMenu();
        AppendMenuW(more, MF_STRING, 201, u"Alpha");
        AppendMenuW(more, MF_STRING, 202, u"Beta");
        AppendMenuW(menu, MF_STRING, 101, u"Chat");
        AppendMenuW(menu, MF_STRING | MF_GRAYED, 102, u"Info");
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(more), u"More");
        AppendMenuW(menu, MF_STRING, 103, u"Last");
    }
    void TearDown() override
    {
        DestroyMenu(menu);
        MenuFixture::TearDown();
    }
    BOOL Track(UINT flags = 0) { return TrackPopupMenuEx(menu, flags, 176, 198, owner, nullptr); }
    // The command the owner got after the menu closed, 0 for none.
    UINT Commanded()
    {
        Pump();
        auto commands = Only(WM_COMMAND);
        return commands.empty() ? 0 : static_cast<UINT>(commands.back().wParam);
    }

    HMENU menu = nullptr;
    HMENU more = nullptr;
};

TEST_F(PopupMenuTest, KeysChooseNavigateAndClose)
{
    constexpr UINT Down = VK_DOWN_KEY, Up = VK_UP_KEY, Right = VK_RIGHT_KEY, Left = VK_LEFT_KEY;
    constexpr UINT Enter = VK_ACTION, Back = VK_BACK_KEY, Soft1 = VK_SOFT1, Soft2 = VK_SOFT2;
    struct Case {
        const char* name;
        std::vector<UINT> keys;
        UINT command;
    } cases[] = {
        {"a number chooses its item", {'1'}, 101},
        {"numbers skip the separator", {'4'}, 103},
        {"a greyed item cannot be chosen", {'2', Enter, Soft1, Back}, 0},
        {"Up from the first item wraps to the last", {Up, Enter}, 103},
        {"Down wraps and skips the separator", {Down, Down, Down, Down, Enter}, 101},
        {"Right opens a submenu", {Down, Down, Right, Down, Enter}, 202},
        {"a number opens a submenu, the next chooses in it", {'3', '2'}, 202},
        {"the left soft key opens and chooses", {Down, Down, Soft1, Soft1}, 201},
        {"Back closes one level", {'3', Back, Down, Enter}, 103},
        {"Left closes a submenu only", {'3', Left, Left, '1'}, 101},
        {"Back on the first level closes the menu", {Back}, 0},
        {"the right soft key closes every level", {'3', Soft2}, 0},
        {"a number without an item does nothing", {'9', '1'}, 101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_received.clear();
        for (UINT key : c.keys)
            PressKey(key);
        EXPECT_TRUE(Track());
        EXPECT_EQ(Commanded(), c.command);
        // Every key was used by the menu; none reached the owner.
        EXPECT_TRUE(Only(WM_KEYDOWN).empty());
        EXPECT_FALSE(Shows("Select", true));  // no pop-up is left
    }

    // The submenu is announced with its position in the parent.
    g_received.clear();
    Keys({'3', '1'});
    ASSERT_TRUE(Track());
    EXPECT_EQ(Commanded(), 201u);
    auto inits = Only(WM_INITMENUPOPUP);
    ASSERT_EQ(inits.size(), 2u);
    EXPECT_EQ(inits[0].wParam, reinterpret_cast<WPARAM>(menu));
    EXPECT_EQ(inits[1].wParam, reinterpret_cast<WPARAM>(more));
    EXPECT_EQ(LOWORD(static_cast<WPARAM>(inits[1].lParam)), 3);

    // With TPM_RETURNCMD the command is returned, not posted.
    g_received.clear();
    Keys({'4'});
    EXPECT_EQ(Track(TPM_RETURNCMD), 103);
    EXPECT_EQ(Commanded(), 0u);
}

// The owner rebuilds the pop-up each time it opens: its dynamic items never
// pile up, and what is drawn is the rebuilt menu, numbered, with the strip
// reading Select / Cancel.
TEST_F(PopupMenuTest, RebuiltOnEveryOpeningWithoutDuplicates)
{
    g_react = [this](HWND, UINT message, WPARAM wParam, LPARAM) {
        if (message != WM_INITMENUPOPUP || reinterpret_cast<HMENU>(wParam) != menu)
            return;
        while (GetMenuItemCount(menu) > 1)
            DeleteMenu(menu, 1, MF_BYPOSITION);
        AppendMenuW(menu, MF_STRING, 301, u"Fresh");
        HMENU sub = CreatePopupMenu();
        AppendMenuW(sub, MF_STRING, 302, u"Inner");
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"Group");
    };
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        std::vector<std::string> seen;
        std::thread looker([&] {
            WaitFor([&] { return Shows("3 Group"); });
            seen = ScreenTexts();
            PressKey(VK_BACK_KEY);
        });
        EXPECT_TRUE(Track());
        looker.join();
        EXPECT_EQ(GetMenuItemCount(menu), 3);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), "2 Fresh"), 1);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), "1 Chat"), 1);
        EXPECT_NE(std::find(seen.begin(), seen.end(), "Select"), seen.end());
        EXPECT_NE(std::find(seen.begin(), seen.end(), "Cancel"), seen.end());
    }
}

// Changes while the menu is open arrive as messages the menu's loop
// dispatches (WM_APP here).
TEST_F(PopupMenuTest, ChangesWhileOpenNeverCrash)
{
    struct Case {
        const char* name;
        std::vector<UINT> before;  // keys before the change
        std::function<void(PopupMenuTest&)> change;
        std::vector<UINT> after;
        UINT command;
        bool ownerAlive;
    } cases[] = {
        {"the chosen position names the rebuilt item",
         {},
         [](PopupMenuTest& t) {
             DeleteMenu(t.menu, 0, MF_BYPOSITION);
             InsertMenuW(t.menu, 0, MF_BYPOSITION, 109, u"Rebuilt");
         },
         {VK_ACTION},
         109,
         true},
        {"the selection follows a shorter menu",
         {VK_UP_KEY},
         [](PopupMenuTest& t) {
             while (GetMenuItemCount(t.menu) > 1)
                 DeleteMenu(t.menu, 1, MF_BYPOSITION);
         },
         {VK_ACTION},
         101,
         true},
        {"the open submenu removed from its parent closes",
         {'3'},
         [](PopupMenuTest& t) { DeleteMenu(t.menu, 3, MF_BYPOSITION); },
         {VK_ACTION},
         103,
         true},
        {"the open submenu destroyed closes",
         {'3'},
         [](PopupMenuTest& t) { DestroyMenu(t.more); },
         {VK_ACTION},
         103,
         true},
        {"the menu destroyed", {'3'}, [](PopupMenuTest& t) { DestroyMenu(t.menu); }, {VK_ACTION}, 0, true},
        {"the owner destroyed", {'3'}, [](PopupMenuTest& t) { DestroyWindow(t.owner); }, {}, 0, false},
    };
    TearDown();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        g_react = [&](HWND, UINT message, WPARAM, LPARAM) {
            if (message == WM_APP)
                c.change(*this);
        };
        for (UINT key : c.before)
            PressKey(key);
        PostMessageW(owner, WM_APP, 0, 0);
        for (UINT key : c.after)
            PressKey(key);
        // The menu has closed by itself or the keys close it.
        PressKey(VK_BACK_KEY);
        PressKey(VK_BACK_KEY);
        Track();
        EXPECT_EQ(Commanded(), c.command);
        EXPECT_EQ(IsWindow(owner) != FALSE, c.ownerAlive);
        EXPECT_FALSE(Shows("Select", true));  // no pop-up is left
        g_react = nullptr;
        TearDown();
    }
}

}  // namespace

namespace {

using namespace menutest;
using namespace platform::display;
using testsupport::WaitFor;

// A menu longer than the work area scrolls: wrapping up to the last item
// shows it (and no longer the first), and its command is chosen.
TEST_F(MenuFixture, LongMenuScrollsToTheSelection)
{
    HMENU menu = CreatePopupMenu();
    for (UINT i = 1; i <= 20; ++i)
        AppendMenuW(menu, MF_STRING, i, platform::Utf8ToWide("Item " + std::to_string(i)).c_str());
    bool lastShown = false;
    bool firstShown = true;
    std::thread looker([&] {
        WaitFor([&] { return Shows("1 Item 1"); });
        PressKey(VK_UP_KEY);
        lastShown = WaitFor([&] { return Shows("Item 20"); });
        firstShown = Shows("1 Item 1");
        PressKey(VK_ACTION);
    });
    EXPECT_EQ(TrackPopupMenuEx(menu, TPM_RETURNCMD, 0, 0, owner, nullptr), 20);
    looker.join();
    EXPECT_TRUE(lastShown);
    EXPECT_FALSE(firstShown);
    DestroyMenu(menu);
}

}  // namespace
