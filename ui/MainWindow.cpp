#include "ui/MainWindow.h"

MainWindow::MainWindow() { RegisterWindowClass(CS_HREDRAW | CS_VREDRAW); }

HWND MainWindow::CreateMainWindow() { return Create(kMainWindowTitle, WS_CLIPCHILDREN); }
