#include "app/main/UIDispatcherWnd.h"

#include "app/AppGlobals.h"
#include "app/InterfaceStage.h"
#include "app/main/Quit.h"

UIDispatcherWnd::UIDispatcherWnd() { RegisterWindowClass(CS_HREDRAW | CS_VREDRAW); }

HWND UIDispatcherWnd::CreateDispatcher()
{
    HWND window = Create(u"dispatcher_window", WS_CLIPCHILDREN);
    if (window != nullptr)
        app::SetDispatcherHandle(window);
    return window;
}

LRESULT UIDispatcherWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (message == app::kDispatchMessage && wParam == app::kDispatchWParam && lParam == app::kDispatchLParam) {
        app::DeliverPendingEvents();
        handled = true;
        return 1;
    }
    if (message == kQuitRequestMessage) {
        RunConfirmedQuit();
        handled = true;
        return 0;
    }
    return WindowBase::OnMessage(message, wParam, lParam, handled);
}
