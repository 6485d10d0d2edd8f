#include "ui/OpenChats.h"

#include <map>

namespace openchats {
namespace {

// Interface thread only: every window of the program lives there.
std::map<WideString, HWND>& Windows()
{
    static std::map<WideString, HWND> windows;
    return windows;
}

}  // namespace

HWND Find(const WideString& uin)
{
    auto it = Windows().find(uin);
    if (it == Windows().end())
        return nullptr;
    if (!IsWindow(it->second)) {
        Windows().erase(it);
        return nullptr;
    }
    return it->second;
}

void Record(const WideString& uin, HWND window) { Windows()[uin] = window; }

void Forget(const WideString& uin) { Windows().erase(uin); }

void Clear() { Windows().clear(); }

}  // namespace openchats
