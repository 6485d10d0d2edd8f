#include "ui/ScreenMessage.h"

#include "platform/win/MessageBox.h"

namespace ui {

void ShowProblem(HWND owner, const WCHAR* title, const WCHAR* text, bool failure)
{
    MessageBoxW(owner, text, title, MB_OK | (failure ? MB_ICONERROR : MB_ICONWARNING));
}

}  // namespace ui
