#include "ui/framework/PopupWindow.h"

#include "app/AppCore.h"
#include "app/AppGlobals.h"

PopupWindow::PopupWindow(COLORREF background) : m_background(background) {}

HWND PopupWindow::Open(const WCHAR* title)
{
    HWND window = Create(title, WS_VISIBLE);
    if (window != nullptr) {
        Show(SW_SHOW);
        // Shown means active, as on the device: the keys, and with them the
        // soft keys its bar labels, go to the popup, not the window below.
        SetForegroundWindow(window);
    }
    return window;
}

void PopupWindow::OnCreated()
{
    if (m_brush == nullptr)
        m_brush = CreateSolidBrush(m_background);
}

void PopupWindow::OnDestroy()
{
    if (m_brush != nullptr) {
        DeleteObject(m_brush);
        m_brush = nullptr;
    }
}

void PopupWindow::BackToMainWindow()
{
    AppCore* core = app::Core();
    ProgramWindow* main = core != nullptr ? core->GetMainWindow() : nullptr;
    HWND mainWindow = main != nullptr ? main->ProgramWindowHandle() : nullptr;
    if (mainWindow != nullptr) {
        ShowWindow(mainWindow, SW_SHOW);
        BringWindowToTop(mainWindow);
    }
    Close();
}
