// The program's visible top-level window as the core sees it: the quit path
// closes it. The interface provides the implementation (the main window), so
// the core does not depend on the window framework.
#pragma once

#include "platform/win/Window.h"

class ProgramWindow {
public:
    // The window's handle; null while the window does not exist.
    virtual HWND ProgramWindowHandle() const = 0;

protected:
    ~ProgramWindow() = default;
};
