#include "skin/smiley/TextSmileWindow.h"

#include "platform/display/Display.h"
#include "platform/win/Controls.h"

namespace skin {

TextSmileWindow::TextSmileWindow(RefPtr<SmileySet> set) : m_set(std::move(set))
{
    RegisterDialogClass();
    constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    m_list = AddItem(MakeRef<MyListBoxWindow>(kListId, kStyle, WidthRule{100, 0, 0, 0}, HeightRule{100, 0, 0}));
}

LRESULT TextSmileWindow::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DialogBase::OnInitDialog(wParam, lParam);
    HWND list = List();
    std::size_t count = m_set->Count();
    for (std::size_t i = 0; i < count; ++i) {
        RefPtr<Smiley> smiley = m_set->At(i);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(smiley->Code().c_str()));
    }
    if (count > 0)
        SendMessageW(list, LB_SETCURSEL, 0, 0);
    SetFocus(list);
    return result;
}

void TextSmileWindow::Choose()
{
    LRESULT line = SendMessageW(List(), LB_GETCURSEL, 0, 0);
    if (line < 0)
        return;
    m_chosen = m_set->At(static_cast<std::size_t>(line));
    if (m_chosen)
        EndDialog(IDOK);
}

LRESULT TextSmileWindow::OnCommand(WORD, WORD commandId, HWND)
{
    if (commandId == kCommandInsert || commandId == IDOK) {
        Choose();
    } else if (commandId == kCommandCancel) {
        m_chosen = nullptr;
        EndDialog(IDCANCEL);
    }
    return 0;
}

// The action key chooses; Back (handed to the list by the soft-key bar)
// cancels.
LRESULT TextSmileWindow::OnChildKeyDown(WPARAM key, LPARAM, HWND, bool& handled)
{
    handled = key == platform::display::VK_ACTION || key == platform::display::VK_BACK_KEY;
    if (key == platform::display::VK_ACTION)
        Choose();
    else if (key == platform::display::VK_BACK_KEY)
        OnCommand(0, kCommandCancel, nullptr);
    return 0;
}

}  // namespace skin
