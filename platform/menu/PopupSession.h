// The modal run of a pop-up menu and its submenus (TrackPopupMenuEx and the
// soft-key bar's menu button).
#pragma once

#include "platform/win/Menu.h"

namespace platform::menu {

struct PopupRequest {
    HMENU menu = nullptr;
    HWND owner = nullptr;
    UINT flags = 0;       // TPM_* alignment, TPM_NONOTIFY, TPM_RETURNCMD
    POINT anchor{};       // screen point the alignment refers to
    int position = 0;     // LOWORD(lParam) of the first WM_INITMENUPOPUP
};

// Runs the menu until it closes. Returns the chosen command or 0; the
// command is posted to the owner as WM_COMMAND unless TPM_RETURNCMD. False
// in *opened when nothing could be shown (bad menu or owner, an empty menu,
// another menu already open on this thread).
UINT RunPopup(const PopupRequest& request, bool* opened);

}  // namespace platform::menu
