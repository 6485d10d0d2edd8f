// Menus of the simulated device: menu handles with their items, pop-up menus
// shown on the screen (TrackPopupMenuEx), and the program's resources (soft-key
// bars, menus and strings registered per instance, LoadStringW, LoadMenuW).
//
// Win32 names and semantics wherever the program uses them. A menu handle is
// never reused: a destroyed or unknown HMENU fails cleanly (FALSE, -1 or null
// as the call's failure value), as does a position or command that names no
// item. Menus belong to the interface thread; the calls are thread-safe.
#pragma once

#include <vector>

#include "platform/base/Types.h"
#include "platform/win/Window.h"

constexpr UINT WM_INITMENUPOPUP = 0x0117;

// Item flags (InsertMenuW, AppendMenuW, EnableMenuItem, CheckMenuItem, ...).
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;

// MENUITEMINFOW.
constexpr UINT MIIM_STATE = 0x0001;
constexpr UINT MIIM_ID = 0x0002;
constexpr UINT MIIM_SUBMENU = 0x0004;
constexpr UINT MIIM_TYPE = 0x0010;
constexpr UINT MIIM_DATA = 0x0020;
constexpr UINT MIIM_STRING = 0x0040;
constexpr UINT MIIM_FTYPE = 0x0100;
constexpr UINT MFT_STRING = 0x0000;
constexpr UINT MFT_SEPARATOR = 0x0800;
constexpr UINT MFS_ENABLED = 0x0000;
constexpr UINT MFS_GRAYED = 0x0003;
constexpr UINT MFS_DISABLED = MFS_GRAYED;
constexpr UINT MFS_CHECKED = 0x0008;

struct MENUITEMINFOW {
    UINT cbSize = sizeof(MENUITEMINFOW);
    UINT fMask = 0;
    UINT fType = 0;
    UINT fState = 0;
    UINT wID = 0;
    HMENU hSubMenu = nullptr;
    HANDLE hbmpChecked = nullptr;
    HANDLE hbmpUnchecked = nullptr;
    UINT_PTR dwItemData = 0;
    LPWSTR dwTypeData = nullptr;
    UINT cch = 0;
};

// TrackPopupMenuEx flags. (x, y) is the corner or edge named by the
// alignment; the pop-up is kept inside the work area.
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

struct TPMPARAMS {
    UINT cbSize = sizeof(TPMPARAMS);
    RECT rcExclude{};
};

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and every submenu attached to it.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);

// With MF_POPUP, `item` is the HMENU of the submenu; a menu can be the
// submenu of one item at a time and never of itself or of its own submenus.
// MF_BYPOSITION: before that position (-1 or past the end appends);
// MF_BYCOMMAND: before the item with that command, searched in submenus too.
BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR item, LPCWSTR text);
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR item, LPCWSTR text);
// DeleteMenu destroys the submenu of a pop-up item; RemoveMenu leaves it
// alive and detached.
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);

// The previous state (MF_ENABLED, MF_GRAYED, MF_DISABLED / MF_CHECKED), or
// 0xFFFFFFFF when the item does not exist.
DWORD EnableMenuItem(HMENU menu, UINT item, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);

HMENU GetSubMenu(HMENU menu, int position);
// -1 for an unknown menu.
int GetMenuItemCount(HMENU menu);
// 0xFFFFFFFF for a pop-up item or a position out of range.
UINT GetMenuItemID(HMENU menu, int position);
BOOL GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info);
BOOL SetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOW* info);

// Shows a pop-up menu for `owner` and runs its keys until an item is chosen
// or the menu is closed. WM_INITMENUPOPUP (HMENU, position) goes to the
// owner before each pop-up opens. The chosen item is posted to the owner as
// WM_COMMAND (id, 0), or returned with TPM_RETURNCMD (0 when nothing was
// chosen). Keys: Up/Down move (wrapping), Right or Action open a submenu,
// Action or the left soft key choose, 1-9 choose the numbered item, Left and
// Back close one level, the right soft key closes the menu.
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params);
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* ignored);

// Resources of a program, plain tables registered for an instance (the
// device reads them from the program file; here the program registers them
// at start). Registering again for the same instance replaces the tables.
namespace platform::resources {

// One button of a soft-key bar. Style 16 sends `command` to the bar's owner;
// style 24 opens the pop-up at `popupIndex` of the same-numbered menu.
constexpr BYTE kButtonPlain = 16;
constexpr BYTE kButtonPopup = 24;
struct BarButton {
    int command = 0;
    BYTE state = 0x04;  // TBSTATE_ENABLED
    BYTE style = kButtonPlain;
    UINT stringId = 0;
    int popupIndex = -1;
};
struct Bar {
    UINT id = 0;
    std::vector<BarButton> buttons;
};

// A menu as a flat list: an item of depth d + 1 belongs to the nearest
// earlier MF_POPUP item of depth d.
struct MenuEntry {
    int depth = 0;
    const WCHAR* text = nullptr;
    UINT command = 0;
    UINT flags = MF_STRING;
};
struct Menu {
    UINT id = 0;
    std::vector<MenuEntry> entries;
};

struct StringEntry {
    UINT id = 0;
    const WCHAR* text = nullptr;
};

struct ResourceSet {
    std::vector<Bar> bars;
    std::vector<Menu> menus;
    std::vector<StringEntry> strings;
};

// Copies the tables (the texts too); false for a null instance.
bool Register(HINSTANCE instance, const ResourceSet& resources);
void Unregister(HINSTANCE instance);
// The bar `id` of `instance`, or false.
bool FindBar(HINSTANCE instance, UINT id, Bar* bar);

}  // namespace platform::resources

// Integer resource names.
inline LPCWSTR MAKEINTRESOURCEW(UINT id) { return reinterpret_cast<LPCWSTR>(static_cast<UINT_PTR>(id & 0xFFFF)); }

// A new menu built from the menu resource, or null.
HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name);
// Copies the string (truncated, terminated) and returns its length; 0 when
// it does not exist. A size of 0 stores a pointer to the read-only text in
// *buffer instead (not terminated there; the result is its length).
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size);
