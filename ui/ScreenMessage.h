// A message box over a screen, for a problem the user has to know about.
#pragma once

#include "platform/base/Types.h"

namespace ui {

// Shows `text` with a warning (or, for a failure, an error) icon and an "OK"
// answer; returns when the user answered.
void ShowProblem(HWND owner, const WCHAR* title, const WCHAR* text, bool failure);

}  // namespace ui
