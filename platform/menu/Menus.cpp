// Menu handles and their items: creation, editing, queries.
#include <algorithm>

#include "platform/base/LastError.h"
#include "platform/base/WideString.h"
#include "platform/menu/MenuTable.h"

constexpr DWORD ERROR_INVALID_MENU_HANDLE = 1401;
constexpr DWORD kNoItem = 0xFFFFFFFFu;

namespace platform::menu {

MenuTable& Menus()
{
    static MenuTable* table = new MenuTable;  // never destroyed: late threads still find it
    return *table;
}

namespace {

// Handles are serial numbers, never reused; the low bits keep them away from
// small integers and window handles.
HMENU MakeHandle(std::uintptr_t serial) { return reinterpret_cast<HMENU>((serial << 4) | 0x3); }

struct Found {
    MenuRecord* record = nullptr;
    std::size_t index = 0;
};

// A command searched depth-first through submenus; a bounded walk.
Found FindCommandLocked(MenuRecord& record, UINT command, std::size_t depth)
{
    if (depth > Menus().menus.size())
        return {};
    for (std::size_t i = 0; i < record.items.size(); ++i) {
        Item& item = record.items[i];
        if ((item.flags & MF_POPUP) == 0 && (item.flags & MF_SEPARATOR) == 0 && item.id == command)
            return {&record, i};
        if (MenuRecord* sub = (item.flags & MF_POPUP) != 0 ? FindLocked(item.submenu) : nullptr) {
            if (Found inner = FindCommandLocked(*sub, command, depth + 1); inner.record != nullptr)
                return inner;
        }
    }
    return {};
}

Found FindItemLocked(HMENU menu, UINT item, bool byPosition)
{
    MenuRecord* record = FindLocked(menu);
    if (record == nullptr) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return {};
    }
    if (byPosition) {
        if (item >= record->items.size())
            return {};
        return {record, item};
    }
    return FindCommandLocked(*record, item, 0);
}

// Whether `menu` is `target` or holds it somewhere below.
bool ContainsLocked(HMENU menu, HMENU target, std::size_t depth)
{
    if (menu == target)
        return true;
    MenuRecord* record = FindLocked(menu);
    if (record == nullptr || depth > Menus().menus.size())
        return false;
    return std::any_of(record->items.begin(), record->items.end(), [&](const Item& item) {
        return (item.flags & MF_POPUP) != 0 && ContainsLocked(item.submenu, target, depth + 1);
    });
}

void DestroyLocked(HMENU menu, std::size_t depth)
{
    auto it = Menus().menus.find(reinterpret_cast<std::uintptr_t>(menu));
    if (it == Menus().menus.end() || depth > Menus().menus.size())
        return;
    std::vector<Item> items = std::move(it->second.items);
    Menus().menus.erase(it);
    for (const Item& item : items) {
        if ((item.flags & MF_POPUP) != 0)
            DestroyLocked(item.submenu, depth + 1);
    }
}

HMENU NewMenu()
{
    MenuTable& table = Menus();
    std::lock_guard guard(table.lock);
    HMENU handle = MakeHandle(table.nextSerial++);
    MenuRecord& record = table.menus[reinterpret_cast<std::uintptr_t>(handle)];
    TouchLocked(record);
    return handle;
}

// Sets the item's flags under `mask`; the previous ones, or kNoItem.
DWORD ChangeFlags(HMENU menu, UINT item, UINT flags, UINT mask)
{
    std::lock_guard guard(Menus().lock);
    Found found = FindItemLocked(menu, item, (flags & MF_BYPOSITION) != 0);
    if (found.record == nullptr)
        return kNoItem;
    Item& target = found.record->items[found.index];
    DWORD previous = target.flags & mask;
    target.flags = (target.flags & ~mask) | (flags & mask);
    TouchLocked(*found.record);
    return previous;
}

// The item a MENUITEMINFOW call names, after checking the record's size.
Found FindForInfoLocked(HMENU menu, UINT position, BOOL byPosition, const MENUITEMINFOW* info)
{
    if (info == nullptr || info->cbSize < sizeof(MENUITEMINFOW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return {};
    }
    return FindItemLocked(menu, position, byPosition != FALSE);
}

constexpr UINT kStateFlags = MF_GRAYED | MF_DISABLED | MF_CHECKED;

// Removes an item; its submenu is destroyed or detached.
BOOL TakeOut(HMENU menu, UINT position, UINT flags, bool destroySubmenu)
{
    std::lock_guard guard(Menus().lock);
    Found found = FindItemLocked(menu, position, (flags & MF_BYPOSITION) != 0);
    if (found.record == nullptr)
        return FALSE;
    Item item = found.record->items[found.index];
    found.record->items.erase(found.record->items.begin() + static_cast<std::ptrdiff_t>(found.index));
    TouchLocked(*found.record);
    if ((item.flags & MF_POPUP) != 0) {
        if (destroySubmenu) {
            DestroyLocked(item.submenu, 0);
        } else if (MenuRecord* sub = FindLocked(item.submenu)) {
            sub->attached = false;
        }
    }
    return TRUE;
}

}  // namespace

MenuRecord* FindLocked(HMENU menu)
{
    auto it = Menus().menus.find(reinterpret_cast<std::uintptr_t>(menu));
    return it != Menus().menus.end() ? &it->second : nullptr;
}

void TouchLocked(MenuRecord& record) { record.version = Menus().nextVersion++; }

bool Snapshot(HMENU menu, std::vector<ItemView>* items, std::uint64_t* version)
{
    std::lock_guard guard(Menus().lock);
    MenuRecord* record = FindLocked(menu);
    if (record == nullptr)
        return false;
    items->clear();
    for (const Item& item : record->items) {
        bool popup = (item.flags & MF_POPUP) != 0;
        items->push_back(ItemView{item.text, popup ? 0u : item.id, popup ? item.submenu : nullptr,
                                  (item.flags & (MF_GRAYED | MF_DISABLED)) != 0, (item.flags & MF_SEPARATOR) != 0,
                                  (item.flags & MF_CHECKED) != 0});
    }
    *version = record->version;
    return true;
}

std::uint64_t VersionOf(HMENU menu)
{
    std::lock_guard guard(Menus().lock);
    MenuRecord* record = FindLocked(menu);
    return record != nullptr ? record->version : 0;
}

}  // namespace platform::menu

using namespace platform::menu;

HMENU CreateMenu() { return NewMenu(); }
HMENU CreatePopupMenu() { return NewMenu(); }

BOOL DestroyMenu(HMENU menu)
{
    std::lock_guard guard(Menus().lock);
    MenuRecord* record = FindLocked(menu);
    if (record == nullptr) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    // An attached submenu goes with its item: the parent must not keep a
    // dangling handle.
    for (auto& [value, other] : Menus().menus) {
        auto held = std::find_if(other.items.begin(), other.items.end(), [&](const Item& item) {
            return (item.flags & MF_POPUP) != 0 && item.submenu == menu;
        });
        if (held != other.items.end()) {
            other.items.erase(held);
            TouchLocked(other);
            break;
        }
    }
    DestroyLocked(menu, 0);
    return TRUE;
}

BOOL IsMenu(HMENU menu)
{
    std::lock_guard guard(Menus().lock);
    return FindLocked(menu) != nullptr ? TRUE : FALSE;
}

BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR newItem, LPCWSTR text)
{
    std::lock_guard guard(Menus().lock);
    MenuRecord* target = FindLocked(menu);
    if (target == nullptr) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    std::size_t index = target->items.size();
    if ((flags & MF_BYPOSITION) != 0) {
        index = std::min<std::size_t>(position, target->items.size());
    } else {
        Found found = FindCommandLocked(*target, position, 0);
        if (found.record == nullptr)
            return FALSE;
        target = found.record;
        index = found.index;
    }
    Item item;
    item.flags = flags & (kStateFlags | MF_POPUP | MF_SEPARATOR);
    if ((flags & MF_SEPARATOR) != 0) {
        item.flags = MF_SEPARATOR;
    } else if ((flags & MF_POPUP) != 0) {
        auto submenu = reinterpret_cast<HMENU>(newItem);
        MenuRecord* sub = FindLocked(submenu);
        // A submenu hangs under one item, never under itself.
        if (sub == nullptr || sub->attached || ContainsLocked(submenu, menu, 0)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        sub->attached = true;
        item.submenu = submenu;
    } else {
        item.id = static_cast<UINT>(newItem);
    }
    if ((flags & MF_SEPARATOR) == 0)
        item.text.assign(text != nullptr ? text : u"", platform::WideLength(text));
    target->items.insert(target->items.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
    TouchLocked(*target);
    return TRUE;
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR newItem, LPCWSTR text)
{
    return InsertMenuW(menu, 0xFFFFFFFFu, flags | MF_BYPOSITION, newItem, text);
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) { return TakeOut(menu, position, flags, true); }
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) { return TakeOut(menu, position, flags, false); }

DWORD EnableMenuItem(HMENU menu, UINT item, UINT flags) { return ChangeFlags(menu, item, flags, MF_GRAYED | MF_DISABLED); }
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) { return ChangeFlags(menu, item, flags, MF_CHECKED); }

HMENU GetSubMenu(HMENU menu, int position)
{
    std::lock_guard guard(Menus().lock);
    Found found = position >= 0 ? FindItemLocked(menu, static_cast<UINT>(position), true) : Found{};
    if (found.record == nullptr)
        return nullptr;
    const Item& item = found.record->items[found.index];
    return (item.flags & MF_POPUP) != 0 ? item.submenu : nullptr;
}

int GetMenuItemCount(HMENU menu)
{
    std::lock_guard guard(Menus().lock);
    MenuRecord* record = FindLocked(menu);
    if (record == nullptr) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return -1;
    }
    return static_cast<int>(record->items.size());
}

UINT GetMenuItemID(HMENU menu, int position)
{
    std::lock_guard guard(Menus().lock);
    Found found = position >= 0 ? FindItemLocked(menu, static_cast<UINT>(position), true) : Found{};
    if (found.record == nullptr)
        return kNoItem;
    const Item& item = found.record->items[found.index];
    return (item.flags & MF_POPUP) != 0 ? kNoItem : item.id;
}

BOOL GetMenuItemInfoW(HMENU menu, UINT position, BOOL byPosition, MENUITEMINFOW* info)
{
    std::lock_guard guard(Menus().lock);
    Found found = FindForInfoLocked(menu, position, byPosition, info);
    if (found.record == nullptr)
        return FALSE;
    const Item& item = found.record->items[found.index];
    if ((info->fMask & (MIIM_FTYPE | MIIM_TYPE)) != 0)
        info->fType = (item.flags & MF_SEPARATOR) != 0 ? MFT_SEPARATOR : MFT_STRING;
    if ((info->fMask & MIIM_STATE) != 0)
        info->fState = ((item.flags & (MF_GRAYED | MF_DISABLED)) != 0 ? MFS_GRAYED : 0u) | (item.flags & MF_CHECKED);
    if ((info->fMask & MIIM_ID) != 0)
        info->wID = item.id;
    if ((info->fMask & MIIM_SUBMENU) != 0)
        info->hSubMenu = (item.flags & MF_POPUP) != 0 ? item.submenu : nullptr;
    if ((info->fMask & MIIM_DATA) != 0)
        info->dwItemData = item.data;
    if ((info->fMask & (MIIM_STRING | MIIM_TYPE)) != 0) {
        if (info->dwTypeData != nullptr && info->cch > 0) {
            std::size_t count = std::min<std::size_t>(item.text.size(), info->cch - 1);
            item.text.copy(info->dwTypeData, count);
            info->dwTypeData[count] = 0;
        }
        info->cch = static_cast<UINT>(item.text.size());
    }
    return TRUE;
}

BOOL SetMenuItemInfoW(HMENU menu, UINT position, BOOL byPosition, const MENUITEMINFOW* info)
{
    std::lock_guard guard(Menus().lock);
    Found found = FindForInfoLocked(menu, position, byPosition, info);
    if (found.record == nullptr)
        return FALSE;
    Item& item = found.record->items[found.index];
    // The new submenu is checked before anything changes.
    MenuRecord* newSub = nullptr;
    bool changeSub = (info->fMask & MIIM_SUBMENU) != 0 && info->hSubMenu != item.submenu;
    if (changeSub && info->hSubMenu != nullptr) {
        newSub = FindLocked(info->hSubMenu);
        if (newSub == nullptr || newSub->attached || ContainsLocked(info->hSubMenu, menu, 0)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    }
    if ((info->fMask & (MIIM_FTYPE | MIIM_TYPE)) != 0 && (info->fType & MFT_SEPARATOR) != 0)
        item.flags |= MF_SEPARATOR;
    else if ((info->fMask & (MIIM_FTYPE | MIIM_TYPE)) != 0)
        item.flags &= ~MF_SEPARATOR;
    if ((info->fMask & MIIM_STATE) != 0)
        item.flags = (item.flags & ~kStateFlags) | ((info->fState & MFS_GRAYED) != 0 ? MF_GRAYED : 0u) |
                     (info->fState & MFS_CHECKED);
    if ((info->fMask & MIIM_ID) != 0)
        item.id = info->wID;
    if (changeSub) {
        // The submenu that was there stays alive, detached: the caller owns it again.
        if (MenuRecord* old = (item.flags & MF_POPUP) != 0 ? FindLocked(item.submenu) : nullptr)
            old->attached = false;
        item.submenu = info->hSubMenu;
        item.flags = newSub != nullptr ? item.flags | MF_POPUP : item.flags & ~MF_POPUP;
        if (newSub != nullptr)
            newSub->attached = true;
    }
    if ((info->fMask & MIIM_DATA) != 0)
        item.data = info->dwItemData;
    if ((info->fMask & (MIIM_STRING | MIIM_TYPE)) != 0 && (item.flags & MF_SEPARATOR) == 0)
        item.text.assign(info->dwTypeData != nullptr ? info->dwTypeData : u"", platform::WideLength(info->dwTypeData));
    TouchLocked(*found.record);
    return TRUE;
}
