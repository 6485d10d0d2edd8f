// Keys of the phone: names for the remote control, the window keys go to,
// and posting them.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <string>

#include "platform/base/TimingLog.h"
#include "platform/display/Display.h"
#include "platform/win/WindowState.h"

namespace platform::display {
namespace {

struct KeyName {
    const char* name;
    UINT key;
};

constexpr KeyName kKeyNames[] = {
    {"f1", VK_SOFT1},           {"softleft", VK_SOFT1},  {"f2", VK_SOFT2},      {"softright", VK_SOFT2},
    {"left", VK_LEFT_KEY},      {"right", VK_RIGHT_KEY}, {"up", VK_UP_KEY},     {"down", VK_DOWN_KEY},
    {"enter", VK_ACTION},       {"action", VK_ACTION},   {"back", VK_BACK_KEY}, {"escape", VK_BACK_KEY},
    {"backspace", VK_BACK_KEY}, {"star", VK_STAR},       {"*", VK_STAR},        {"hash", VK_POUND},
    {"pound", VK_POUND},        {"#", VK_POUND},
};

// lParam of a key message: repeat count 1; key-up adds the previous-state and
// transition bits.
constexpr LPARAM kKeyDownBits = 1;
constexpr LPARAM kKeyUpBits = static_cast<LPARAM>(0xC0000001u);

}  // namespace

std::optional<UINT> KeyFromName(std::string_view name)
{
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9')
        return static_cast<UINT>(name[0]);
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const KeyName& k : kKeyNames) {
        if (lower == k.name)
            return k.key;
    }
    return std::nullopt;
}

namespace {

std::atomic<KeyRoute> g_route{nullptr};

// The foreground window when it is shown, else the topmost one.
HWND TopWindowLocked()
{
    auto& state = win::State();
    HWND top = state.zOrder.empty() ? nullptr : state.zOrder.back();
    if (state.foreground != nullptr &&
        std::find(state.zOrder.begin(), state.zOrder.end(), state.foreground) != state.zOrder.end())
        top = state.foreground;
    return top;
}

// The window a key goes to: the one the route names, else the key target.
HWND TargetOf(UINT virtualKey)
{
    KeyRoute route = g_route.load();
    if (route != nullptr) {
        HWND top = nullptr;
        {
            std::lock_guard guard(win::State().lock);
            top = TopWindowLocked();
        }
        if (HWND routed = top != nullptr ? route(top, virtualKey) : nullptr)
            return routed;
    }
    return KeyTarget();
}

}  // namespace

void SetKeyRoute(KeyRoute route) { g_route.store(route); }

HWND KeyTarget()
{
    auto& state = win::State();
    std::lock_guard guard(state.lock);
    HWND top = TopWindowLocked();
    if (top == nullptr)
        return nullptr;
    if (state.focus != nullptr && win::IsDescendantLocked(state.focus, top))
        return state.focus;
    return top;
}

bool PostKey(UINT virtualKey, bool down)
{
    HWND target = TargetOf(virtualKey);
    if (target == nullptr)
        return false;
    if (down && platform::TimingLogEnabled())
        platform::LogTiming("key", std::to_string(virtualKey));
    return PostMessageW(target, down ? WM_KEYDOWN : WM_KEYUP, virtualKey, down ? kKeyDownBits : kKeyUpBits) != 0;
}

bool PressKey(UINT virtualKey) { return PostKey(virtualKey, true) && PostKey(virtualKey, false); }

bool TypeText(std::u16string_view text)
{
    HWND target = KeyTarget();
    if (target == nullptr)
        return false;
    for (char16_t unit : text) {
        if (PostMessageW(target, WM_CHAR, unit, kKeyDownBits) == 0)
            return false;
    }
    return true;
}

}  // namespace platform::display
