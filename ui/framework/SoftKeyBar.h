// The soft-key bar of a window or dialog, made by the shell from a menu-bar
// resource of the program.
#pragma once

#include "platform/win/Window.h"

namespace uifw {

struct SoftKeyBar {
    HWND bar = nullptr;
    HMENU menu = nullptr;  // the bar's menu (SHCMBM_GETMENU)
};

// Makes bar `barId` for `owner`; false when the shell cannot.
bool MakeSoftKeyBar(HWND owner, UINT barId, SoftKeyBar& result);

}  // namespace uifw
