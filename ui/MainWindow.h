// MainWindow: the program's visible top-level window (class
// "B46A692A-BC3B-40e7-A3E8-5058053677A5", title "Corvane"). Its class name and
// title are what a second instance looks for.
#pragma once

#include "app/ProgramWindow.h"
#include "ui/framework/WindowBase.h"

inline constexpr const WCHAR* kMainWindowClass = u"B46A692A-BC3B-40e7-A3E8-5058053677A5";
inline constexpr const WCHAR* kMainWindowTitle = u"Corvane";

class MainWindow : public WindowBase, public ProgramWindow {
public:
    // Registers the class (once per process); creates no window.
    MainWindow();

    const WCHAR* ClassName() const override { return kMainWindowClass; }
    const WCHAR* SystemClassName() const override { return nullptr; }
    WNDPROC BaseClassProc() const override { return nullptr; }
    UINT MenuBarId() const override { return 1532; }

    // Creates the window with the title "Corvane".
    HWND CreateMainWindow();

    HWND ProgramWindowHandle() const override { return Window(); }

protected:
    ~MainWindow() override = default;

    // WM_COPYDATA is the home-screen plug-in announcing itself: a view
    // refresh follows, which sends the plug-in the program's state.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
};
