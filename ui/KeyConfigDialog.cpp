#include "ui/KeyConfigDialog.h"

#include "platform/win/Controls.h"
#include "ui/KeyActions.h"
#include "ui/framework/Items.h"

namespace {

constexpr DWORD kListStyle = 0x50010101;  // child, visible, tab stop, notify, no integral height
constexpr DWORD kSpinStyle = 0x50000267;
constexpr WORD kCommandOk = 2002;
constexpr WORD kCommandCancel = 2003;
constexpr int kLeftKeyRow = 10;

WideString RowCaption(int row)
{
    return row == kLeftKeyRow ? WideString(u"Left Key") : u"Key" + WideString(1, static_cast<char16_t>(u'0' + row));
}

}  // namespace

KeyConfigDialog::KeyConfigDialog(AppCore& core) : m_core(core)
{
    RegisterDialogClass();
    AddItem(MoveRightDown({0, 3, 0, 0}, {0, 2, 0}));
    for (int row = 0; row < kRows; ++row) {
        AddItem(LabelItem(kFirstLabelId + row, RowCaption(row), WidthRule{0, 3, 0, 1}, 2));
        AddItem(MoveRight({0, 3, 0, 1}));
        m_lists[static_cast<std::size_t>(row)] = AddItem(
            MakeRef<ListBoxWindow>(kFirstListId + row, kListStyle, WidthRule{100, -6, -8, 0}, HeightRule{0, 2, 1}));
        AddItem(SpinItem(kFirstSpinId + row, kSpinStyle, m_lists[static_cast<std::size_t>(row)]));
        AddItem(MoveBack(1));
        AddItem(MoveDown({0, 2, 1}));
    }
}

std::int32_t KeyConfigDialog::CurrentValue(int row)
{
    RefPtr<Settings> settings = m_core.GetSettings();
    return row == kLeftKeyRow ? settings->leftSoftKeyAction : settings->KeyActionOf(row);
}

LRESULT KeyConfigDialog::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DialogBase::OnInitDialog(wParam, lParam);
    m_core.GetSettings()->EnsureLoaded();
    for (int row = 0; row < kRows; ++row) {
        HWND list = m_lists[static_cast<std::size_t>(row)]->Handle();
        for (const WCHAR* text : keyactions::DisplayTexts())
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        std::int32_t value = CurrentValue(row);
        if (value >= 0)
            SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(value), 0);
    }
    return result;
}

void KeyConfigDialog::Store()
{
    RefPtr<Settings> settings = m_core.GetSettings();
    settings->EnsureLoaded();
    for (int row = 0; row < kRows; ++row) {
        LRESULT chosen = SendMessageW(m_lists[static_cast<std::size_t>(row)]->Handle(), LB_GETCURSEL, 0, 0);
        // A row left without a choice keeps its value.
        if (!keyactions::IsAction(static_cast<std::int32_t>(chosen)))
            continue;
        if (row == kLeftKeyRow)
            settings->leftSoftKeyAction = static_cast<std::int32_t>(chosen);
        else
            settings->SetKeyActionOf(row, static_cast<std::int32_t>(chosen));
    }
    settings->Save();
    m_core.Post(MakeRef<AppEvent>(EventType::SettingsChanged));
}

LRESULT KeyConfigDialog::OnCommand(WORD, WORD commandId, HWND)
{
    if (commandId == kCommandOk) {
        Store();
        EndDialog(1);
    } else if (commandId == kCommandCancel) {
        EndDialog(0);
    }
    return 0;
}

int RunKeyConfigDialog(AppCore& core, HWND owner)
{
    RefPtr<KeyConfigDialog> dialog = MakeRef<KeyConfigDialog>(core);
    return static_cast<int>(dialog->DoModal(u"Toolbar config", 50, 50, owner));
}
