// Placeholder until the soft-key bar exists: no bar can be made.
#include "platform/shell/Shell.h"

BOOL SHCreateMenuBar(SHMENUBARINFO* /*info*/) { return FALSE; }
HWND SHFindMenuBar(HWND /*window*/) { return nullptr; }
void SHSendBackToFocusWindow(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {}
