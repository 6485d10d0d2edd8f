#include "platform/controls/ControlState.h"

#include <mutex>
#include <unordered_set>

namespace platform::controls {
namespace {

using Holder = std::shared_ptr<ControlState>;

// Every holder a control window carries. The first extra slot of a window of
// another class (asked about as a buddy, or by SetScrollInfo) holds anything;
// only a value found here is read as a holder.
struct Holders {
    std::mutex lock;
    std::unordered_set<LONG_PTR> live;
};

Holders& TheHolders()
{
    static Holders* holders = new Holders;
    return *holders;
}

}  // namespace

std::shared_ptr<ControlState> StateOf(HWND window)
{
    LONG_PTR value = GetWindowLongW(window, 0);
    if (value == 0)
        return nullptr;
    Holders& holders = TheHolders();
    std::lock_guard guard(holders.lock);
    return holders.live.contains(value) ? *reinterpret_cast<Holder*>(value) : nullptr;
}

void AttachState(HWND window, std::shared_ptr<ControlState> state)
{
    DetachState(window);
    auto value = reinterpret_cast<LONG_PTR>(new Holder(std::move(state)));
    {
        Holders& holders = TheHolders();
        std::lock_guard guard(holders.lock);
        holders.live.insert(value);
    }
    SetWindowLongW(window, 0, value);
}

void DetachState(HWND window)
{
    LONG_PTR value = GetWindowLongW(window, 0);
    Holders& holders = TheHolders();
    {
        std::lock_guard guard(holders.lock);
        if (value == 0 || holders.live.erase(value) == 0)
            return;
    }
    SetWindowLongW(window, 0, 0);
    auto* holder = reinterpret_cast<Holder*>(value);
    if (*holder)
        (*holder)->dead = true;
    delete holder;
}

HFONT FontOf(const ControlState& state)
{
    return state.font != nullptr ? state.font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

bool HandleCommonMessage(HWND window, ControlState& state, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT* result)
{
    switch (message) {
    case WM_SETFONT:
        state.font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(static_cast<std::uintptr_t>(lParam)) != 0)
            InvalidateRect(window, nullptr, TRUE);
        *result = 0;
        return true;
    case WM_GETFONT:
        *result = reinterpret_cast<LRESULT>(FontOf(state));
        return true;
    case WM_ENABLE:
        InvalidateRect(window, nullptr, TRUE);
        *result = 0;
        return true;
    case WM_ERASEBKGND:
        *result = 1;  // each control paints its whole background itself
        return true;
    default:
        return false;
    }
}

void NotifyParent(HWND window, WORD code)
{
    HWND parent = GetParent(window);
    if (parent == nullptr)
        return;
    auto id = static_cast<WORD>(GetDlgCtrlID(window));
    SendMessageW(parent, WM_COMMAND, static_cast<WPARAM>(id) | (static_cast<WPARAM>(code) << 16),
                 reinterpret_cast<LPARAM>(window));
}

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

bool HasFocus(HWND window) { return window != nullptr && GetFocus() == window; }

}  // namespace platform::controls
