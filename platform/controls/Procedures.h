// Window procedures of the standard control classes.
#pragma once

#include "platform/win/Controls.h"

namespace platform::controls {

LRESULT EditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ButtonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StaticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ScrollBarProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT UpDownProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace platform::controls
