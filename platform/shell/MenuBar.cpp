// The soft-key bar: a hidden window owned by the screen it serves, made from
// the bar resource of the program. It puts its two labels in the soft-key
// strip, takes the soft keys (and the keys its owner overrides) before the
// focus does, sends the plain buttons' commands and opens the pop-up of a menu
// button.
#include <algorithm>
#include <map>
#include <mutex>

#include "platform/base/LastError.h"
#include "platform/base/WideString.h"
#include "platform/display/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/PopupSession.h"
#include "platform/menu/ShellDrawing.h"
#include "platform/shell/Shell.h"
#include "platform/win/Menu.h"

namespace {

constexpr WCHAR kBarClass[] = u"SoftKeyBar";
constexpr LPARAM kModKeyUp = 0x1000;  // MOD_KEYUP in the low word of WM_HOTKEY's lParam
constexpr LPARAM kKeyDownBits = 1;
constexpr LPARAM kKeyUpBits = static_cast<LPARAM>(0xC0000001u);

struct Button {
    int command = 0;
    BYTE state = TBSTATE_ENABLED;
    BYTE style = platform::resources::kButtonPlain;
    WideString text;
    int popupIndex = -1;
    bool Enabled() const { return (state & TBSTATE_ENABLED) != 0; }
};

struct BarRecord {
    HWND owner = nullptr;
    HMENU menu = nullptr;
    std::vector<Button> buttons;
    std::map<UINT, WORD> overrides;  // key -> SHMBOF_* flags
};

struct Bars {
    std::mutex lock;
    std::map<HWND, BarRecord> bars;  // by bar window
};

Bars& TheBars()
{
    static Bars* bars = new Bars;
    return *bars;
}

// The newest bar of an owner, or null.
HWND BarOfLocked(HWND owner)
{
    HWND found = nullptr;
    for (const auto& [bar, record] : TheBars().bars) {
        if (record.owner == owner)
            found = bar;
    }
    return found;
}

void ShowLabels(HWND bar)
{
    HWND owner = nullptr;
    Button left;
    Button right;
    {
        std::lock_guard guard(TheBars().lock);
        auto it = TheBars().bars.find(bar);
        if (it == TheBars().bars.end() || BarOfLocked(it->second.owner) != bar)
            return;
        owner = it->second.owner;
        const std::vector<Button>& buttons = it->second.buttons;
        if (!buttons.empty())
            left = buttons[0];
        if (buttons.size() > 1)
            right = buttons[1];
    }
    platform::display::SetSoftKeys(owner, left.text, right.text, left.Enabled(), right.Enabled());
}

// The soft keys and the overridden keys of the window on top go to its bar.
HWND RouteKey(HWND top, UINT key)
{
    std::lock_guard guard(TheBars().lock);
    HWND bar = BarOfLocked(top);
    if (bar == nullptr)
        return nullptr;
    if (key == platform::display::VK_SOFT1 || key == platform::display::VK_SOFT2)
        return bar;
    const BarRecord& record = TheBars().bars[bar];
    auto it = record.overrides.find(key);
    return it != record.overrides.end() && it->second != 0 ? bar : nullptr;
}

void PressButton(HWND bar, std::size_t index)
{
    HWND owner = nullptr;
    HMENU menu = nullptr;
    Button button;
    {
        std::lock_guard guard(TheBars().lock);
        auto it = TheBars().bars.find(bar);
        if (it == TheBars().bars.end() || index >= it->second.buttons.size())
            return;
        owner = it->second.owner;
        menu = it->second.menu;
        button = it->second.buttons[index];
    }
    if (!button.Enabled())
        return;
    if (button.style != platform::resources::kButtonPopup) {
        PostMessageW(owner, WM_COMMAND, static_cast<WPARAM>(static_cast<WORD>(button.command)), 0);
        return;
    }
    // The pop-up rises from the key's corner, just above the soft-key strip.
    const platform::display::ScreenLayout& layout = platform::display::Layout();
    bool leftKey = index == 0;
    platform::menu::PopupRequest request;
    request.menu = GetSubMenu(menu, button.popupIndex);
    request.owner = owner;
    request.flags = TPM_BOTTOMALIGN | (leftKey ? TPM_LEFTALIGN : TPM_RIGHTALIGN);
    request.anchor = POINT{leftKey ? 0 : layout.width, layout.WorkArea().bottom};
    request.position = button.popupIndex;
    bool opened = false;
    platform::menu::RunPopup(request, &opened);
}

// An overridden key: WM_HOTKEY to the owner when asked, the key's own
// delivery to the focus unless suppressed.
void OverriddenKey(HWND bar, UINT key, bool down)
{
    HWND owner = nullptr;
    WORD flags = 0;
    {
        std::lock_guard guard(TheBars().lock);
        auto it = TheBars().bars.find(bar);
        if (it == TheBars().bars.end())
            return;
        owner = it->second.owner;
        auto o = it->second.overrides.find(key);
        flags = o != it->second.overrides.end() ? o->second : 0;
    }
    if ((flags & SHMBOF_NOTIFY) != 0)
        SendMessageW(owner, WM_HOTKEY, key, MAKELONG(static_cast<WORD>(down ? 0 : kModKeyUp), static_cast<WORD>(key)));
    if ((flags & SHMBOF_NODEFAULT) == 0) {
        HWND focus = GetFocus();
        HWND target = focus != nullptr && (focus == owner || IsChild(owner, focus)) ? focus : owner;
        SendMessageW(target, down ? WM_KEYDOWN : WM_KEYUP, key, down ? kKeyDownBits : kKeyUpBits);
    }
}

Button* ButtonOfLocked(HWND bar, int command)
{
    auto it = TheBars().bars.find(bar);
    if (it == TheBars().bars.end())
        return nullptr;
    for (Button& button : it->second.buttons) {
        if (button.command == command)
            return &button;
    }
    return nullptr;
}

LRESULT SetButtonInfo(HWND bar, int command, const TBBUTTONINFOW* info)
{
    if (info == nullptr || info->cbSize < sizeof(TBBUTTONINFOW))
        return 0;
    {
        std::lock_guard guard(TheBars().lock);
        Button* button = ButtonOfLocked(bar, command);
        if (button == nullptr)
            return 0;
        if ((info->dwMask & TBIF_TEXT) != 0)
            button->text.assign(info->pszText != nullptr ? info->pszText : u"",
                                platform::WideLength(info->pszText));
        if ((info->dwMask & TBIF_STATE) != 0)
            button->state = info->fsState;
        if ((info->dwMask & TBIF_COMMAND) != 0)
            button->command = info->idCommand;
    }
    ShowLabels(bar);
    return TRUE;
}

LRESULT GetButtonInfo(HWND bar, int command, TBBUTTONINFOW* info)
{
    if (info == nullptr || info->cbSize < sizeof(TBBUTTONINFOW))
        return -1;
    std::lock_guard guard(TheBars().lock);
    auto it = TheBars().bars.find(bar);
    if (it == TheBars().bars.end())
        return -1;
    for (std::size_t i = 0; i < it->second.buttons.size(); ++i) {
        const Button& button = it->second.buttons[i];
        if (button.command != command)
            continue;
        if ((info->dwMask & TBIF_TEXT) != 0 && info->pszText != nullptr && info->cchText > 0) {
            std::size_t count = std::min<std::size_t>(button.text.size(), static_cast<std::size_t>(info->cchText) - 1);
            button.text.copy(info->pszText, count);
            info->pszText[count] = 0;
        }
        info->fsState = button.state;
        info->fsStyle = button.style;
        info->idCommand = button.command;
        return static_cast<LRESULT>(i);
    }
    return -1;
}

LRESULT OverrideKey(HWND bar, UINT key, LPARAM lParam)
{
    std::lock_guard guard(TheBars().lock);
    auto it = TheBars().bars.find(bar);
    if (it == TheBars().bars.end())
        return FALSE;
    WORD mask = LOWORD(static_cast<std::uintptr_t>(lParam));
    WORD values = HIWORD(static_cast<std::uintptr_t>(lParam));
    WORD& flags = it->second.overrides[key];
    flags = static_cast<WORD>((flags & ~mask) | (values & mask));
    return TRUE;
}

HMENU SubMenuOf(HWND bar, int command)
{
    std::lock_guard guard(TheBars().lock);
    Button* button = ButtonOfLocked(bar, command);
    auto it = TheBars().bars.find(bar);
    if (button == nullptr || button->style != platform::resources::kButtonPopup)
        return nullptr;
    return GetSubMenu(it->second.menu, button->popupIndex);
}

void Forget(HWND bar)
{
    HWND owner = nullptr;
    HMENU menu = nullptr;
    HWND next = nullptr;
    {
        std::lock_guard guard(TheBars().lock);
        auto it = TheBars().bars.find(bar);
        if (it == TheBars().bars.end())
            return;
        owner = it->second.owner;
        menu = it->second.menu;
        TheBars().bars.erase(it);
        next = BarOfLocked(owner);
    }
    DestroyMenu(menu);
    if (next != nullptr)
        ShowLabels(next);
    else if (IsWindow(owner))
        platform::display::SetSoftKeys(owner, u"", u"");
}

LRESULT BarProcedure(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    using namespace platform::display;
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wParam == VK_SOFT1 || wParam == VK_SOFT2) {
            if (message == WM_KEYDOWN)
                PressButton(bar, wParam == VK_SOFT1 ? 0 : 1);
        } else {
            OverriddenKey(bar, static_cast<UINT>(wParam), message == WM_KEYDOWN);
        }
        return 0;
    case SHCMBM_GETMENU: {
        std::lock_guard guard(TheBars().lock);
        auto it = TheBars().bars.find(bar);
        return it != TheBars().bars.end() ? reinterpret_cast<LRESULT>(it->second.menu) : 0;
    }
    case SHCMBM_GETSUBMENU:
        return reinterpret_cast<LRESULT>(SubMenuOf(bar, static_cast<int>(lParam)));
    case SHCMBM_OVERRIDEKEY:
        return OverrideKey(bar, static_cast<UINT>(wParam), lParam);
    case TB_SETBUTTONINFO:
        return SetButtonInfo(bar, static_cast<int>(wParam), reinterpret_cast<const TBBUTTONINFOW*>(lParam));
    case TB_GETBUTTONINFO:
        return GetButtonInfo(bar, static_cast<int>(wParam), reinterpret_cast<TBBUTTONINFOW*>(lParam));
    case WM_DESTROY:
        Forget(bar);
        return 0;
    default:
        return DefWindowProcW(bar, message, wParam, lParam);
    }
}

void RegisterBarClass()
{
    platform::menu::RegisterShellClass(kBarClass, BarProcedure);
    platform::display::SetKeyRoute(RouteKey);
}

std::vector<Button> ButtonsOf(HINSTANCE instance, const platform::resources::Bar& resource)
{
    std::vector<Button> buttons;
    for (const platform::resources::BarButton& b : resource.buttons) {
        Button button{b.command, b.state, b.style, {}, b.popupIndex};
        const WCHAR* text = nullptr;
        int length = LoadStringW(instance, b.stringId, reinterpret_cast<LPWSTR>(&text), 0);
        if (text != nullptr && length > 0)
            button.text.assign(text, static_cast<std::size_t>(length));
        buttons.push_back(std::move(button));
    }
    return buttons;
}

}  // namespace

BOOL SHCreateMenuBar(SHMENUBARINFO* info)
{
    if (info == nullptr || info->cbSize < sizeof(SHMENUBARINFO) || !IsWindow(info->hwndParent)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    platform::resources::Bar resource;
    if (!platform::resources::FindBar(info->hInstRes, info->nToolBarId, &resource)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    RegisterBarClass();
    HWND bar = CreateWindowExW(0, kBarClass, u"", WS_POPUP, 0, 0, 0, 0, info->hwndParent, nullptr, info->hInstRes,
                               nullptr);
    if (bar == nullptr)
        return FALSE;
    BarRecord record;
    record.owner = info->hwndParent;
    // A bar without a same-numbered menu still gets an (empty) menu.
    record.menu = LoadMenuW(info->hInstRes, MAKEINTRESOURCEW(info->nToolBarId));
    if (record.menu == nullptr)
        record.menu = CreateMenu();
    record.buttons = ButtonsOf(info->hInstRes, resource);
    {
        std::lock_guard guard(TheBars().lock);
        TheBars().bars[bar] = std::move(record);
    }
    ShowLabels(bar);
    info->hwndMB = bar;
    return TRUE;
}

HWND SHFindMenuBar(HWND window)
{
    std::lock_guard guard(TheBars().lock);
    return window != nullptr ? BarOfLocked(window) : nullptr;
}

void SHSendBackToFocusWindow(UINT /*message*/, WPARAM /*wParam*/, LPARAM lParam)
{
    HWND focus = GetFocus();
    if (focus == nullptr)
        return;
    auto bits = static_cast<std::uintptr_t>(lParam);
    WORD key = HIWORD(bits) != 0 ? HIWORD(bits) : static_cast<WORD>(platform::display::VK_BACK_KEY);
    bool up = (LOWORD(bits) & kModKeyUp) != 0;
    SendMessageW(focus, up ? WM_KEYUP : WM_KEYDOWN, key, up ? kKeyUpBits : kKeyDownBits);
}
