// The About box: the program's name, a line about it and its version, in
// fonts that grow with the width of the screen. "OK" or "Cancel" brings the
// main window back and closes the box.
#pragma once

#include "ui/framework/PopupWindow.h"

class MsgAboutWnd : public PopupWindow {
public:
    static constexpr UINT kMenuBarId = 1538;
    static constexpr COLORREF kBackground = 0x00FFFAF5;
    static constexpr COLORREF kTextColour = 0x00B45000;
    static constexpr int kTextLeft = 10;
    static constexpr int kTextTop = 15;

    MsgAboutWnd();

    const WCHAR* ClassName() const override { return u"MsgAboutWnd"; }
    UINT MenuBarId() const override { return kMenuBarId; }

    // Creates the box titled "About..." and shows it.
    HWND Open() { return PopupWindow::Open(u"About..."); }

    void OnDraw(HDC dc, const RECT& client) override;
    LRESULT OnCommand(WORD notifyCode, WORD commandId, HWND control) override;

    // The texts the box shows.
    static const WCHAR* ProgramName();
    static const WCHAR* AboutLine();
    static WideString VersionText();

    // The height of the regular font for a client area this wide: the
    // smallest from 6 pixels up at which the line about the program spans
    // at least half the width. `measure` gives a text's width at a height.
    template <typename Measure>
    static int RegularFontHeight(int clientWidth, Measure measure);

protected:
    ~MsgAboutWnd() override = default;
};

// Fonts stop growing here, so that a very wide window (or a measure that
// never grows) still ends the search.
inline constexpr int kAboutMaxFontHeight = 96;

template <typename Measure>
int MsgAboutWnd::RegularFontHeight(int clientWidth, Measure measure)
{
    int height = 6;
    while (height < kAboutMaxFontHeight && measure(height) * 2 < clientWidth)
        ++height;
    return height;
}
