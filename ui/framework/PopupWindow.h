// A top-level window over the main window that paints a solid background
// and, when the user is done with it, brings the main window back and
// closes (the warning popup, the About box).
#pragma once

#include "ui/framework/WindowBase.h"

class PopupWindow : public WindowBase {
public:
    const WCHAR* SystemClassName() const override { return nullptr; }
    WNDPROC BaseClassProc() const override { return nullptr; }

    // Creates the window with this title and shows it.
    HWND Open(const WCHAR* title);

    // The background brush lives from creation to destruction.
    void OnCreated() override;
    void OnDestroy() override;

protected:
    explicit PopupWindow(COLORREF background);
    ~PopupWindow() override = default;

    // Shows the main window, brings it to the top and closes this window.
    void BackToMainWindow();

private:
    COLORREF m_background;
};
