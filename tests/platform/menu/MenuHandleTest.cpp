// Menu handles and items: editing, item information, and the clean failure of
// bad handles, positions and submenu links.
#include "tests/platform/menu/MenuFixture.h"

namespace {

using namespace menutest;

constexpr DWORD kNoItem = 0xFFFFFFFFu;

class MenuHandleTest : public MenuFixture {};

TEST_F(MenuHandleTest, ItemsAreEditedByPositionAndByCommandThroughSubmenus)
{
    HMENU menu = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuW(menu, MF_STRING, 1, u"One"));
    ASSERT_TRUE(AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"Sub"));
    ASSERT_TRUE(AppendMenuW(sub, MF_STRING, 7, u"Seven"));
    ASSERT_TRUE(InsertMenuW(menu, 0, MF_BYPOSITION, 2, u"Two"));
    ASSERT_TRUE(InsertMenuW(menu, 7, MF_BYCOMMAND, 6, u"Six"));  // lands in the submenu
    EXPECT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(GetMenuItemID(menu, 0), 2u);
    EXPECT_EQ(GetMenuItemID(menu, 2), kNoItem);  // a pop-up item
    EXPECT_EQ(GetSubMenu(menu, 2), sub);
    EXPECT_EQ(GetMenuItemID(sub, 0), 6u);

    EXPECT_EQ(EnableMenuItem(menu, 7, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(menu, 7, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(CheckMenuItem(menu, 1, MF_BYPOSITION | MF_CHECKED), MF_UNCHECKED);

    // Item data, text and state round trip; a short buffer is cut and ended.
    MENUITEMINFOW set;
    set.fMask = MIIM_DATA | MIIM_STRING | MIIM_STATE;
    set.dwItemData = 0xABCDEF;
    std::u16string text = u"Move to group";
    set.dwTypeData = text.data();
    set.fState = MFS_GRAYED;
    ASSERT_TRUE(SetMenuItemInfoW(menu, 1, TRUE, &set));
    WCHAR buffer[5] = {};
    MENUITEMINFOW get;
    get.fMask = MIIM_DATA | MIIM_STRING | MIIM_STATE | MIIM_ID;
    get.dwTypeData = buffer;
    get.cch = 5;
    ASSERT_TRUE(GetMenuItemInfoW(menu, 1, TRUE, &get));
    EXPECT_EQ(get.dwItemData, 0xABCDEFu);
    EXPECT_EQ(std::u16string(buffer), u"Move");
    EXPECT_EQ(get.cch, text.size());
    EXPECT_EQ(get.fState, MFS_GRAYED);  // MIIM_STATE sets the whole state
    EXPECT_EQ(get.wID, 1u);

    // DeleteMenu destroys a submenu, RemoveMenu hands it back.
    ASSERT_TRUE(RemoveMenu(menu, 2, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(sub));
    ASSERT_TRUE(AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"Again"));
    ASSERT_TRUE(DeleteMenu(menu, 2, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(sub));
    ASSERT_TRUE(DestroyMenu(menu));
}

TEST_F(MenuHandleTest, BadHandlesPositionsAndLinksFailCleanly)
{
    HMENU dead = CreatePopupMenu();
    ASSERT_TRUE(DestroyMenu(dead));
    HMENU unknown = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0x12345));
    HMENU menu = CreatePopupMenu();
    HMENU child = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, u"One");
    AppendMenuW(child, MF_STRING, 3, u"Leaf");
    ASSERT_TRUE(AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(child), u"Child"));
    MENUITEMINFOW info;
    info.fMask = MIIM_DATA;
    MENUITEMINFOW shortInfo;
    shortInfo.cbSize = 8;
    for (HMENU bad : {dead, unknown, static_cast<HMENU>(nullptr)}) {
        EXPECT_FALSE(DestroyMenu(bad));
        EXPECT_FALSE(IsMenu(bad));
        EXPECT_FALSE(AppendMenuW(bad, MF_STRING, 1, u"x"));
        EXPECT_FALSE(DeleteMenu(bad, 0, MF_BYPOSITION));
        EXPECT_EQ(EnableMenuItem(bad, 0, MF_BYPOSITION), kNoItem);
        EXPECT_EQ(GetMenuItemCount(bad), -1);
        EXPECT_EQ(GetMenuItemID(bad, 0), kNoItem);
        EXPECT_EQ(GetSubMenu(bad, 0), nullptr);
        EXPECT_FALSE(GetMenuItemInfoW(bad, 0, TRUE, &info));
        EXPECT_FALSE(SetMenuItemInfoW(bad, 0, TRUE, &info));
        // A dead menu as a submenu.
        EXPECT_FALSE(AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(bad), u"Dead"));
    }
    for (int position : {-1, 2, 1000}) {
        SCOPED_TRACE(position);
        EXPECT_EQ(GetMenuItemID(menu, position), kNoItem);
        EXPECT_EQ(GetSubMenu(menu, position), nullptr);
        EXPECT_FALSE(DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION));
        EXPECT_EQ(EnableMenuItem(menu, static_cast<UINT>(position), MF_BYPOSITION), kNoItem);
        EXPECT_FALSE(GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info));
    }
    EXPECT_FALSE(DeleteMenu(menu, 99, MF_BYCOMMAND));
    EXPECT_FALSE(InsertMenuW(menu, 99, MF_BYCOMMAND, 5, u"Nowhere"));
    EXPECT_FALSE(GetMenuItemInfoW(menu, 0, TRUE, &shortInfo));
    EXPECT_FALSE(GetMenuItemInfoW(menu, 0, TRUE, nullptr));
    // No menu inside itself or its own submenu, none under two items.
    EXPECT_FALSE(AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), u"Self"));
    EXPECT_FALSE(AppendMenuW(child, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), u"Loop"));
    EXPECT_FALSE(AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(child), u"Twice"));
    MENUITEMINFOW loop;
    loop.fMask = MIIM_SUBMENU;
    loop.hSubMenu = menu;
    EXPECT_FALSE(SetMenuItemInfoW(child, 0, TRUE, &loop));
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    // Destroying an attached submenu takes its item away with it.
    ASSERT_TRUE(DestroyMenu(child));
    EXPECT_EQ(GetMenuItemCount(menu), 1);
    // Nothing to show, or nobody to show it for.
    HMENU empty = CreatePopupMenu();
    EXPECT_FALSE(TrackPopupMenuEx(empty, 0, 0, 0, owner, nullptr));
    EXPECT_FALSE(TrackPopupMenuEx(dead, 0, 0, 0, owner, nullptr));
    EXPECT_FALSE(TrackPopupMenuEx(menu, 0, 0, 0, nullptr, nullptr));
    EXPECT_EQ(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(9999)), nullptr);
    WCHAR text[8] = {u'x'};
    EXPECT_EQ(LoadStringW(GetModuleHandleW(nullptr), 9999, text, 8), 0);
    EXPECT_EQ(text[0], 0);
    DestroyMenu(empty);
    DestroyMenu(menu);
}

}  // namespace
