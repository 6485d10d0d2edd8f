// The program's own icon (resource 122): a 16 x 16 blue speech bubble with
// three white dots, drawn from code so that it needs no file.
#pragma once

#include "platform/gdi/Gdi.h"

namespace ui {

inline constexpr int kProgramIconId = 122;
inline constexpr int kProgramIconSize = 16;
// The bubble's fill, for callers that look for the icon's pixels.
inline constexpr COLORREF kProgramIconColour = RGB(0x2A, 0x6F, 0xD6);

// A new icon; the caller destroys it with DestroyIcon. Null when the
// platform cannot make one.
HICON CreateProgramIcon();

}  // namespace ui
