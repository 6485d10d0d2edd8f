// The LISTBOX class: items with texts and data, one selection, key moves
// (Up/Down, or Left/Right as a spinner's buddy) and LBN_ notifications.
#include <algorithm>
#include <climits>
#include <memory>

#include "platform/base/WideString.h"
#include "platform/controls/ListBoxState.h"
#include "platform/controls/Procedures.h"
#include "platform/display/Display.h"

namespace platform::controls {
namespace {

constexpr int kBadIndex = INT_MIN;

// An index argument: -1 stays -1; anything outside the int range is bad.
int IndexArg(WPARAM value)
{
    auto signedValue = static_cast<std::intptr_t>(value);
    if (signedValue < -1 || signedValue > INT_MAX)
        return kBadIndex;
    return static_cast<int>(signedValue);
}

bool Valid(const ListBoxState& state, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < state.items.size();
}

char16_t Fold(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool LessFolded(const WideString& a, const WideString& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char16_t x, char16_t y) { return Fold(x) < Fold(y); });
}

bool NotifyOn(HWND window) { return (StyleOf(window) & LBS_NOTIFY) != 0; }

void Changed(HWND window, ListBoxState& state)
{
    KeepCurrentVisible(window, state);
    InvalidateRect(window, nullptr, FALSE);
}

LRESULT Insert(HWND window, ListBoxState& state, int index, LPCWSTR text)
{
    if (state.items.size() >= kMaxListItems)
        return LB_ERRSPACE;
    ListItem item{WideString(text != nullptr ? text : u"", WideLength(text)), 0};
    if (index == -1 && (StyleOf(window) & LBS_SORT) != 0) {
        auto at = std::upper_bound(state.items.begin(), state.items.end(), item,
                                   [](const ListItem& a, const ListItem& b) { return LessFolded(a.text, b.text); });
        index = static_cast<int>(at - state.items.begin());
    } else if (index == -1) {
        index = static_cast<int>(state.items.size());
    } else if (index == kBadIndex || static_cast<std::size_t>(index) > state.items.size()) {
        return LB_ERR;
    }
    state.items.insert(state.items.begin() + index, std::move(item));
    if (state.current >= index)
        ++state.current;
    Changed(window, state);
    return index;
}

LRESULT Delete(HWND window, ListBoxState& state, int index)
{
    if (!Valid(state, index))
        return LB_ERR;
    state.items.erase(state.items.begin() + index);
    if (state.current == index)
        state.current = -1;
    else if (state.current > index)
        --state.current;
    Changed(window, state);
    return static_cast<LRESULT>(state.items.size());
}

LRESULT GetText(const ListBoxState& state, int index, LPWSTR buffer)
{
    if (!Valid(state, index) || buffer == nullptr)
        return LB_ERR;
    const WideString& text = state.items[static_cast<std::size_t>(index)].text;
    text.copy(buffer, text.size());
    buffer[text.size()] = 0;
    return static_cast<LRESULT>(text.size());
}

LRESULT FindExact(const ListBoxState& state, int start, LPCWSTR text)
{
    WideString wanted(text != nullptr ? text : u"", WideLength(text));
    int count = static_cast<int>(state.items.size());
    if (start < 0 || start >= count)
        start = -1;
    for (int step = 1; step <= count; ++step) {
        int i = (start + step) % count;
        const WideString& candidate = state.items[static_cast<std::size_t>(i)].text;
        if (!LessFolded(candidate, wanted) && !LessFolded(wanted, candidate))
            return i;
    }
    return LB_ERR;
}

// A move of the selection by the user; notifies the parent.
void MoveSelection(HWND window, ListBoxState& state, int target)
{
    if (target == state.current || !Valid(state, target))
        return;
    state.current = target;
    Changed(window, state);
    if (NotifyOn(window))
        NotifyParent(window, LBN_SELCHANGE);
}

int StepTarget(const ListBoxState& state, int delta, bool wraps)
{
    int count = static_cast<int>(state.items.size());
    if (count == 0)
        return -1;
    if (state.current < 0)
        return delta > 0 ? 0 : (wraps ? count - 1 : 0);
    int target = state.current + delta;
    if (target < 0 || target >= count)
        target = wraps ? (target + count) % count : std::clamp(target, 0, count - 1);
    return target;
}

LRESULT KeyDown(HWND window, ListBoxState& state, WPARAM key)
{
    if (!IsWindowEnabled(window))
        return 0;
    bool spinner = IsSpinnerList(state);
    if (spinner && (key == display::VK_LEFT_KEY || key == display::VK_RIGHT_KEY)) {
        bool wraps = (StyleOf(state.spinner) & UDS_WRAP) != 0;
        MoveSelection(window, state, StepTarget(state, key == display::VK_RIGHT_KEY ? 1 : -1, wraps));
    } else if (!spinner && (key == display::VK_UP_KEY || key == display::VK_DOWN_KEY)) {
        MoveSelection(window, state, StepTarget(state, key == display::VK_DOWN_KEY ? 1 : -1, false));
    }
    return 0;
}

// Which keys the list box wants: Up/Down except at the ends, or Left/Right as
// a spinner's buddy. Without a key to ask about it claims none, so that a
// dialog moves the focus on.
LRESULT DialogCode(const ListBoxState& state, const MSG* message)
{
    if (message == nullptr || message->message != WM_KEYDOWN)
        return 0;
    constexpr LRESULT kWanted = DLGC_WANTARROWS | DLGC_WANTMESSAGE;
    int count = static_cast<int>(state.items.size());
    switch (message->wParam) {
    case display::VK_LEFT_KEY:
    case display::VK_RIGHT_KEY:
        return IsSpinnerList(state) && count > 0 ? kWanted : 0;
    case display::VK_UP_KEY:
        return !IsSpinnerList(state) && state.current > 0 ? kWanted : 0;
    case display::VK_DOWN_KEY:
        return !IsSpinnerList(state) && state.current + 1 < count ? kWanted : 0;
    default:
        return 0;
    }
}

void FocusChanged(HWND window, ListBoxState& state, bool gained)
{
    InvalidateRect(window, nullptr, FALSE);
    if (NotifyOn(window))
        NotifyParent(window, gained ? LBN_SETFOCUS : LBN_KILLFOCUS);
    (void)state;
}

LRESULT ItemMessage(HWND window, ListBoxState& state, UINT message, WPARAM wParam, LPARAM lParam, bool* handled)
{
    *handled = true;
    int index = IndexArg(wParam);
    switch (message) {
    case LB_ADDSTRING:
        return Insert(window, state, -1, reinterpret_cast<LPCWSTR>(lParam));
    case LB_INSERTSTRING:
        return Insert(window, state, index == -1 ? static_cast<int>(state.items.size()) : index,
                      reinterpret_cast<LPCWSTR>(lParam));
    case LB_DELETESTRING:
        return Delete(window, state, index);
    case LB_RESETCONTENT:
        state.items.clear();
        state.current = -1;
        state.top = 0;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case LB_SETCURSEL:
        if (index != -1 && !Valid(state, index))
            return LB_ERR;
        state.current = index;
        Changed(window, state);
        return index == -1 ? LB_ERR : index;
    case LB_GETCURSEL:
        return state.current;
    case LB_GETTEXT:
        return GetText(state, index, reinterpret_cast<LPWSTR>(lParam));
    case LB_GETTEXTLEN:
        return Valid(state, index) ? static_cast<LRESULT>(state.items[static_cast<std::size_t>(index)].text.size())
                                   : LB_ERR;
    case LB_GETCOUNT:
        return static_cast<LRESULT>(state.items.size());
    case LB_SETITEMDATA:
        if (!Valid(state, index))
            return LB_ERR;
        state.items[static_cast<std::size_t>(index)].data = lParam;
        return LB_OKAY;
    case LB_GETITEMDATA:
        return Valid(state, index) ? state.items[static_cast<std::size_t>(index)].data : LB_ERR;
    case LB_SETTOPINDEX:
        if (!Valid(state, index))
            return LB_ERR;
        state.top = std::clamp(index, 0, std::max(0, static_cast<int>(state.items.size()) - VisibleRows(window, state)));
        InvalidateRect(window, nullptr, FALSE);
        return LB_OKAY;
    case LB_GETTOPINDEX:
        return state.top;
    case LB_GETITEMHEIGHT:
        return ItemHeight(window, state);
    case LB_FINDSTRINGEXACT:
        return state.items.empty() || index == kBadIndex ? LB_ERR
                                                         : FindExact(state, index, reinterpret_cast<LPCWSTR>(lParam));
    default:
        *handled = false;
        return 0;
    }
}

LRESULT WindowMessage(HWND window, ListBoxState& state, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintListBox(window, state);
        return 0;
    case WM_KEYDOWN:
        return KeyDown(window, state, wParam);
    case WM_GETDLGCODE:
        return DialogCode(state, reinterpret_cast<const MSG*>(lParam));
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        FocusChanged(window, state, message == WM_SETFOCUS);
        return 0;
    default:
        break;
    }
    bool handled = false;
    LRESULT result = ItemMessage(window, state, message, wParam, lParam, &handled);
    return handled ? result : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool IsSpinnerList(const ListBoxState& state) { return state.spinner != nullptr && IsWindow(state.spinner); }

bool SetSpinnerOf(HWND list, HWND spinner)
{
    auto state = StateOf<ListBoxState>(list, Kind::ListBox);
    if (!state)
        return false;
    state->spinner = spinner;
    InvalidateRect(list, nullptr, FALSE);
    return true;
}

void ClearSpinnerOf(HWND list, HWND spinner)
{
    auto state = StateOf<ListBoxState>(list, Kind::ListBox);
    if (state && state->spinner == spinner) {
        state->spinner = nullptr;
        InvalidateRect(list, nullptr, FALSE);
    }
}

LRESULT ListBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ControlProcedure<ListBoxState, WindowMessage>(window, message, wParam, lParam);
}

}  // namespace platform::controls
