// What the dialog manager keeps per dialog window: its procedure, font, the
// end of its modal loop and how far its controls are scrolled. Internal to
// platform/dialog and the shell's dialog initialisation.
#pragma once

#include <memory>

#include "platform/gdi/Gdi.h"
#include "platform/win/Dialog.h"

namespace platform::dialog {

struct DialogState {
    DLGPROC procedure = nullptr;
    HFONT font = nullptr;
    bool ended = false;
    INT_PTR result = IDCANCEL;
    int scrolled = 0;  // pixels the controls are moved up to keep the focus visible
    HWND lastFocus = nullptr;  // the control that had the focus when the dialog was left
};

// The state of a dialog window, or null when the window is no dialog.
std::shared_ptr<DialogState> FindDialog(HWND dialog);
void BindDialog(HWND dialog, std::shared_ptr<DialogState> state);
void ForgetDialog(HWND dialog);

// The state DefDlgProcW binds to the window being created on this thread
// (its first message arrives before CreateWindowExW returns the handle).
void SetPendingDialog(std::shared_ptr<DialogState> state);
std::shared_ptr<DialogState> TakePendingDialog();

// Moves the dialog's controls so that `control` lies inside the client area.
void ScrollIntoView(HWND dialog, HWND control);

// The visible, enabled WS_TABSTOP child after (forward) or before `from`,
// wrapping at the ends; the first (last) one when `from` is not among them.
HWND NextTabStop(HWND dialog, HWND from, bool forward);

}  // namespace platform::dialog
