#include "ui/AdvancedConfigDialog.h"

#include "ui/ControlValues.h"
#include "ui/framework/Items.h"

namespace {

constexpr WORD kCommandOk = 2002;
constexpr WORD kCommandCancel = 2003;

}  // namespace

AdvancedConfigDialog::AdvancedConfigDialog(bool supportCh2) : m_supportCh2(supportCh2)
{
    RegisterDialogClass();
    AddItem(MoveRightDown({0, 3, 0, 0}, {0, 3, 0}));
    AddItem(CheckBoxItem(kDisableCh2Id, u"Disable ch-2 ICQ messages", {100, -6, 0, 0}));
}

LRESULT AdvancedConfigDialog::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DialogBase::OnInitDialog(wParam, lParam);
    ui::SetChecked(Window(), kDisableCh2Id, !m_supportCh2);
    return result;
}

LRESULT AdvancedConfigDialog::OnCommand(WORD, WORD commandId, HWND)
{
    if (commandId == kCommandOk) {
        m_supportCh2 = !ui::IsChecked(Window(), kDisableCh2Id);
        EndDialog(1);
    } else if (commandId == kCommandCancel) {
        EndDialog(0);
    }
    return 0;
}
