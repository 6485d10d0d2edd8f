// Placeholder until the standard controls exist.
#include "platform/win/Controls.h"

void platform::RegisterStandardControls() {}
int SetScrollInfo(HWND /*window*/, int /*bar*/, const SCROLLINFO* /*info*/, BOOL /*redraw*/) { return 0; }
BOOL GetScrollInfo(HWND /*window*/, int /*bar*/, SCROLLINFO* /*info*/) { return FALSE; }
