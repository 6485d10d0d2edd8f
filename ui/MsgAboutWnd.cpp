#include "ui/MsgAboutWnd.h"

#include <string>

#ifndef CORVANE_VERSION
#define CORVANE_VERSION "0"
#endif

namespace {

constexpr WORD kCommandOk = 2002;
constexpr WORD kCommandCancel = 2003;

HFONT MakeFont(int height, LONG weight)
{
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    return CreateFontIndirectW(&font);
}

int TextWidth(HDC dc, const WideString& text)
{
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    return static_cast<int>(extent.cx);
}

void DrawLine(HDC dc, int x, int y, const WideString& text)
{
    ExtTextOutW(dc, x, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

}  // namespace

MsgAboutWnd::MsgAboutWnd() : PopupWindow(kBackground) { RegisterWindowClass(CS_HREDRAW | CS_VREDRAW); }

const WCHAR* MsgAboutWnd::ProgramName() { return u"Corvane"; }
const WCHAR* MsgAboutWnd::AboutLine() { return u"ICQ on your keypad"; }

WideString MsgAboutWnd::VersionText()
{
    std::string version = CORVANE_VERSION;
    return u"version " + WideString(version.begin(), version.end());
}

void MsgAboutWnd::OnDraw(HDC dc, const RECT& client)
{
    if (m_brush != nullptr)
        FillRect(dc, &client, m_brush);
    const WideString about = AboutLine();
    int regular = RegularFontHeight(client.right - client.left, [dc, &about](int height) {
        HFONT font = MakeFont(height, FW_NORMAL);
        HGDIOBJ previous = SelectObject(dc, font);
        int width = TextWidth(dc, about);
        SelectObject(dc, previous);
        DeleteObject(font);
        return width;
    });
    HFONT regularFont = MakeFont(regular, FW_NORMAL);
    HFONT titleFont = MakeFont(regular * 4 / 3, FW_BOLD);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kTextColour);
    HGDIOBJ previous = SelectObject(dc, titleFont);
    DrawLine(dc, kTextLeft, kTextTop, ProgramName());
    SelectObject(dc, regularFont);
    SIZE character{};
    GetTextExtentPoint32W(dc, u"A", 1, &character);
    int line = static_cast<int>(character.cy);
    DrawLine(dc, kTextLeft, kTextTop + 2 * line, about);
    DrawLine(dc, kTextLeft, kTextTop + 3 * line, VersionText());
    SelectObject(dc, previous);
    DeleteObject(titleFont);
    DeleteObject(regularFont);
}

LRESULT MsgAboutWnd::OnCommand(WORD, WORD commandId, HWND)
{
    if (commandId == kCommandOk || commandId == kCommandCancel)
        BackToMainWindow();
    return 0;
}
