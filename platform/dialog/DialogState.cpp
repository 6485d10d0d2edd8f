// The per-dialog state table, focus order and scrolling.
#include "platform/dialog/DialogState.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace platform::dialog {
namespace {

struct Table {
    std::mutex lock;
    std::map<HWND, std::shared_ptr<DialogState>> dialogs;
};

Table& Dialogs()
{
    static Table* table = new Table;
    return *table;
}

thread_local std::shared_ptr<DialogState> t_pending;

// A control that the focus can move to.
bool IsTabStop(HWND control)
{
    auto style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    return (style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE);
}

// The child of `dialog` that is `window` or holds it.
HWND DirectChild(HWND dialog, HWND window)
{
    while (window != nullptr) {
        HWND parent = GetParent(window);
        if (parent == dialog)
            return window;
        window = parent;
    }
    return nullptr;
}

}  // namespace

std::shared_ptr<DialogState> FindDialog(HWND dialog)
{
    Table& table = Dialogs();
    std::lock_guard guard(table.lock);
    auto it = table.dialogs.find(dialog);
    return it == table.dialogs.end() ? nullptr : it->second;
}

void BindDialog(HWND dialog, std::shared_ptr<DialogState> state)
{
    Table& table = Dialogs();
    std::lock_guard guard(table.lock);
    table.dialogs[dialog] = std::move(state);
}

void ForgetDialog(HWND dialog)
{
    Table& table = Dialogs();
    std::lock_guard guard(table.lock);
    table.dialogs.erase(dialog);
}

void SetPendingDialog(std::shared_ptr<DialogState> state) { t_pending = std::move(state); }

std::shared_ptr<DialogState> TakePendingDialog() { return std::exchange(t_pending, nullptr); }

HWND NextTabStop(HWND dialog, HWND from, bool forward)
{
    std::vector<HWND> stops;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsTabStop(child))
            stops.push_back(child);
    }
    if (stops.empty())
        return nullptr;
    auto it = std::find(stops.begin(), stops.end(), DirectChild(dialog, from));
    if (it == stops.end())
        return forward ? stops.front() : stops.back();
    auto index = static_cast<std::size_t>(it - stops.begin());
    std::size_t next = forward ? (index + 1) % stops.size() : (index + stops.size() - 1) % stops.size();
    return stops[next];
}

void ScrollIntoView(HWND dialog, HWND control)
{
    constexpr int kMargin = 2;
    auto state = FindDialog(dialog);
    HWND child = DirectChild(dialog, control);
    if (!state || child == nullptr)
        return;
    RECT client{};
    RECT dialogRect{};
    RECT rect{};
    if (!GetClientRect(dialog, &client) || !GetWindowRect(dialog, &dialogRect) || !GetWindowRect(child, &rect))
        return;
    int top = rect.top - dialogRect.top;
    int bottom = rect.bottom - dialogRect.top;
    int delta = 0;
    if (bottom + kMargin > client.bottom)
        delta = bottom + kMargin - client.bottom;
    if (top - delta < kMargin)
        delta = top - kMargin;
    // Never scroll back above where the layout put the first control.
    delta = std::max(delta, -state->scrolled);
    if (delta == 0)
        return;
    state->scrolled += delta;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(c, &r);
        SetWindowPos(c, nullptr, r.left - dialogRect.left, r.top - dialogRect.top - delta, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
    }
    InvalidateRect(dialog, nullptr, TRUE);
}

}  // namespace platform::dialog
