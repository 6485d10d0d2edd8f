// The menus of the process: one table of menu records under one lock.
// Internal to platform/menu and platform/shell.
#pragma once

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/win/Menu.h"

namespace platform::menu {

struct Item {
    UINT id = 0;
    UINT flags = 0;  // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_POPUP, MF_SEPARATOR
    WideString text;
    HMENU submenu = nullptr;
    UINT_PTR data = 0;
};

struct MenuRecord {
    std::vector<Item> items;
    bool attached = false;  // the submenu of some item
    std::uint64_t version = 0;  // changes with every edit
};

struct MenuTable {
    std::mutex lock;
    std::unordered_map<std::uintptr_t, MenuRecord> menus;
    std::uintptr_t nextSerial = 1;
    std::uint64_t nextVersion = 1;
};

MenuTable& Menus();

// The record of a live menu, or null.
MenuRecord* FindLocked(HMENU menu);
void TouchLocked(MenuRecord& record);

// What a pop-up shows of one item.
struct ItemView {
    WideString text;
    UINT id = 0;
    HMENU submenu = nullptr;
    bool grayed = false;
    bool separator = false;
    bool checked = false;
};
// The items of a live menu and its version; false when the menu is gone.
bool Snapshot(HMENU menu, std::vector<ItemView>* items, std::uint64_t* version);
// The version of a live menu, 0 when it is gone.
std::uint64_t VersionOf(HMENU menu);

}  // namespace platform::menu
