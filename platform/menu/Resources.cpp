// The resources of programs, registered per instance: soft-key bars, menus
// and strings; LoadMenuW and LoadStringW read them.
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/base/LastError.h"
#include "platform/base/WideString.h"
#include "platform/win/Menu.h"

constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

namespace platform::resources {
namespace {

struct StoredEntry {
    int depth = 0;
    WideString text;
    UINT command = 0;
    UINT flags = 0;
};

struct StoredSet {
    std::vector<Bar> bars;
    std::map<UINT, std::vector<StoredEntry>> menus;
    std::map<UINT, WideString> strings;
};

struct Store {
    std::mutex lock;
    std::map<HINSTANCE, StoredSet> sets;
};

Store& TheStore()
{
    static Store* store = new Store;
    return *store;
}

WideString Copy(const WCHAR* text) { return WideString(text != nullptr ? text : u"", WideLength(text)); }

// Appends the entries of one level, starting at `next`, to `menu`; returns
// the index of the first entry that does not belong to this level.
std::size_t Build(HMENU menu, const std::vector<StoredEntry>& entries, std::size_t next, int depth)
{
    while (next < entries.size() && entries[next].depth >= depth) {
        const StoredEntry& entry = entries[next];
        if (entry.depth > depth) {  // a deeper entry without its pop-up: skipped
            ++next;
            continue;
        }
        ++next;
        if ((entry.flags & MF_POPUP) != 0) {
            HMENU sub = CreatePopupMenu();
            next = Build(sub, entries, next, depth + 1);
            AppendMenuW(menu, entry.flags, reinterpret_cast<UINT_PTR>(sub), entry.text.c_str());
        } else {
            AppendMenuW(menu, entry.flags, entry.command, entry.text.c_str());
        }
    }
    return next;
}

}  // namespace

bool Register(HINSTANCE instance, const ResourceSet& resources)
{
    if (instance == nullptr)
        return false;
    StoredSet set;
    set.bars = resources.bars;
    for (const Menu& menu : resources.menus) {
        std::vector<StoredEntry>& entries = set.menus[menu.id];
        entries.clear();
        for (const MenuEntry& e : menu.entries)
            entries.push_back(StoredEntry{e.depth, Copy(e.text), e.command, e.flags});
    }
    for (const StringEntry& s : resources.strings)
        set.strings[s.id] = Copy(s.text);
    std::lock_guard guard(TheStore().lock);
    TheStore().sets[instance] = std::move(set);
    return true;
}

void Unregister(HINSTANCE instance)
{
    std::lock_guard guard(TheStore().lock);
    TheStore().sets.erase(instance);
}

bool FindBar(HINSTANCE instance, UINT id, Bar* bar)
{
    std::lock_guard guard(TheStore().lock);
    auto set = TheStore().sets.find(instance);
    if (set == TheStore().sets.end())
        return false;
    for (const Bar& b : set->second.bars) {
        if (b.id == id) {
            *bar = b;
            return true;
        }
    }
    return false;
}

}  // namespace platform::resources

using namespace platform::resources;

HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name)
{
    auto id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(name));
    std::vector<StoredEntry> entries;
    {
        std::lock_guard guard(TheStore().lock);
        auto set = TheStore().sets.find(instance);
        // Only integer names exist here.
        if (set == TheStore().sets.end() || id > 0xFFFF || !set->second.menus.contains(id)) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return nullptr;
        }
        entries = set->second.menus[id];
    }
    HMENU menu = CreateMenu();
    Build(menu, entries, 0, 0);
    return menu;
}

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size)
{
    if (buffer == nullptr || size < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard guard(TheStore().lock);
    auto set = TheStore().sets.find(instance);
    const WideString* text = nullptr;
    if (set != TheStore().sets.end()) {
        auto it = set->second.strings.find(id);
        if (it != set->second.strings.end())
            text = &it->second;
    }
    if (text == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        if (size > 0)
            buffer[0] = 0;
        return 0;
    }
    if (size == 0) {
        // The stored strings stay until their instance is registered again.
        const WCHAR* stored = text->c_str();
        std::memcpy(buffer, &stored, sizeof stored);
        return static_cast<int>(text->size());
    }
    auto count = std::min<std::size_t>(text->size(), static_cast<std::size_t>(size) - 1);
    text->copy(buffer, count);
    buffer[count] = 0;
    return static_cast<int>(count);
}
