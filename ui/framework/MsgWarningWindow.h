// The warning popup: shows the application's pending warning text (the
// core's last error text) in red on a light background over the main
// window. "OK" brings the main window back and closes the popup; "Hide"
// also clears the pending text, so the main window stops offering it.
#pragma once

#include "ui/framework/PopupWindow.h"

class MsgWarningWindow : public PopupWindow {
public:
    static constexpr UINT kMenuBarId = 1539;
    static constexpr WORD kCommandOk = 2002;
    static constexpr WORD kCommandHide = 2005;
    static constexpr COLORREF kBackground = 0x00FFF5EB;
    static constexpr COLORREF kTextColour = 0x000000C8;

    MsgWarningWindow();

    const WCHAR* ClassName() const override { return u"MsgWarningWindow"; }
    UINT MenuBarId() const override { return kMenuBarId; }

    // Creates the popup titled "Corvane" and shows it.
    HWND Open() { return PopupWindow::Open(u"Corvane"); }

    void OnDraw(HDC dc, const RECT& client) override;
    LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control) override;

protected:
    ~MsgWarningWindow() override = default;
};
