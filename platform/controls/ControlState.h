// What every standard control keeps besides its window record: its kind, its
// font and whether its window is gone. The state lives in the control's first
// window-extra slot as a heap-held shared pointer, so code that notifies the
// parent keeps the state alive even when the parent destroys the control
// from inside the notification; it checks `dead` afterwards.
#pragma once

#include <memory>

#include "platform/win/Controls.h"

namespace platform::controls {

enum class Kind { Edit, ListBox, Button, Static, ScrollBar, UpDown };

struct ControlState {
    explicit ControlState(Kind k) : kind(k) {}
    virtual ~ControlState() = default;
    Kind kind;
    HFONT font = nullptr;  // null: the system font
    bool dead = false;     // WM_NCDESTROY has been seen
};

// Window-extra bytes every control class reserves for its state.
constexpr int kStateBytes = static_cast<int>(sizeof(LONG_PTR));

// The state of a control window, or null for another window (or one whose
// state is of another kind).
std::shared_ptr<ControlState> StateOf(HWND window);

template <typename T>
std::shared_ptr<T> StateOf(HWND window, Kind kind)
{
    std::shared_ptr<ControlState> state = StateOf(window);
    if (!state || state->kind != kind)
        return nullptr;
    return std::static_pointer_cast<T>(state);
}

void AttachState(HWND window, std::shared_ptr<ControlState> state);
// Marks the state dead and drops the window's reference.
void DetachState(HWND window);

// Answers the messages all controls handle alike (fonts, enabling, erasing); true
// when `message` was one of them.
bool HandleCommonMessage(HWND window, ControlState& state, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT* result);

// The control's font (the system font when none was set).
HFONT FontOf(const ControlState& state);

// Sends WM_COMMAND (id, code) to the control's parent.
void NotifyParent(HWND window, WORD code);

DWORD StyleOf(HWND window);
bool HasFocus(HWND window);

// The frame of every control's window procedure: the state is made at
// WM_NCCREATE and dropped at WM_NCDESTROY, fonts and enabling are answered
// alike, and every other message goes to `Handle` with the state held for
// the call.
template <typename State, LRESULT (*Handle)(HWND, State&, UINT, WPARAM, LPARAM)>
LRESULT ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        AttachState(window, std::make_shared<State>());
        return DefWindowProcW(window, message, wParam, lParam);
    }
    std::shared_ptr<State> state = StateOf<State>(window, State::kKind);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        DetachState(window);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (HandleCommonMessage(window, *state, message, wParam, lParam, &result))
        return result;
    return Handle(window, *state, message, wParam, lParam);
}

}  // namespace platform::controls
