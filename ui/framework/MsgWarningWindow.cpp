#include "ui/framework/MsgWarningWindow.h"

#include "app/AppCore.h"
#include "app/AppGlobals.h"
#include "ui/framework/TextWrap.h"

namespace {

WideString PendingWarning()
{
    AppCore* core = app::Core();
    return core != nullptr ? core->LastErrorText() : WideString();
}

}  // namespace

MsgWarningWindow::MsgWarningWindow() : PopupWindow(kBackground) { RegisterWindowClass(CS_HREDRAW | CS_VREDRAW); }

void MsgWarningWindow::OnDraw(HDC dc, const RECT& client)
{
    if (m_brush != nullptr)
        FillRect(dc, &client, m_brush);
    SetBkColor(dc, kBackground);
    SetTextColor(dc, kTextColour);
    SIZE character{};
    GetTextExtentPoint32W(dc, u"A", 1, &character);
    TextMeasure measure = [dc](std::u16string_view text) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &extent);
        return static_cast<int>(extent.cx);
    };
    int y = 0;
    for (const WideString& line : WrapText(PendingWarning(), client.right - client.left - 2, measure)) {
        ExtTextOutW(dc, 1, y, 0, nullptr, line.c_str(), static_cast<UINT>(line.size()), nullptr);
        y += character.cy + 1;
    }
}

LRESULT MsgWarningWindow::OnCommand(WORD, WORD commandId, HWND)
{
    if (commandId == kCommandHide) {
        if (AppCore* core = app::Core())
            core->SetLastErrorText(WideString());
    }
    if (commandId == kCommandOk || commandId == kCommandHide)
        BackToMainWindow();
    return 0;
}
