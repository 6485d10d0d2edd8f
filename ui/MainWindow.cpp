#include "ui/MainWindow.h"

#include "app/AppCore.h"
#include "app/AppGlobals.h"

MainWindow::MainWindow() { RegisterWindowClass(CS_HREDRAW | CS_VREDRAW); }

HWND MainWindow::CreateMainWindow() { return Create(kMainWindowTitle, WS_CLIPCHILDREN); }

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (message == WM_COPYDATA) {
        if (AppCore* core = app::Core(); core != nullptr)
            core->Post(MakeRef<AppEvent>(EventType::ViewRefresh));
        handled = true;
        return TRUE;
    }
    return WindowBase::OnMessage(message, wParam, lParam, handled);
}
