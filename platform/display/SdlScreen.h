// The SDL2 window backend: shows the screen at an integer scale inside a
// dark bezel with a one-line key legend, and turns keyboard input into the
// phone's keys.
#pragma once

#include "platform/display/Display.h"

namespace platform::display {

// Starts the window's thread; false when SDL cannot open a window.
bool StartSdlScreen(const ScreenLayout& layout);

// The phone key of an SDL key code, or 0.
UINT KeyFromSdl(int sdlKey);

}  // namespace platform::display
