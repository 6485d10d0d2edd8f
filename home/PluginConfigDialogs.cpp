#include "home/PluginConfigDialogs.h"

#include <algorithm>

#include "platform/win/Controls.h"
#include "ui/ControlValues.h"
#include "ui/framework/Items.h"

namespace home {

namespace {

constexpr WORD kCommandCancel = 2003;
constexpr WORD kCommandNext = 41408;
constexpr WORD kCommandPrevious = 41409;
constexpr WORD kCommandDone = 41410;
constexpr DWORD kListStyle = 0x50810101;  // child, visible, border, tab stop, notify, no integral height
constexpr DWORD kSpinStyle = 0x50000267;  // child, visible, arrow keys, aligned right of the buddy
constexpr const WCHAR* kTitle = u"Plugin Setup";
constexpr const WCHAR* kOwnLine = u"Corvane";
const HeightRule kRow{0, 3, 1};
const WidthRule kFullWidth{100, -6, 0, 0};
// The user types at most kMaxHeightChars digits; a longer height read from
// the scheme file is kept as it is unless the user changes it.
constexpr std::size_t kMaxHeightReadChars = 64;

}  // namespace

PluginConfigDlg1::PluginConfigDlg1(std::vector<WideString> otherPlugins, PluginPlacement& placement)
    : m_otherPlugins(std::move(otherPlugins)), m_placement(placement)
{
    RegisterDialogClass();
    AddItem(MoveRightDown({0, 3, 0, 0}, {0, 3, 0}));
    AddItem(LabelItem(1000, u"Plugin location", kFullWidth));
    AddItem(MoveDown({0, 3, 1}));
    AddItem(MakeRef<MyListBoxWindow>(kListId, kListStyle | WS_VSCROLL, kFullWidth, HeightRule{100, -12, -1}));
}

LRESULT PluginConfigDlg1::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DialogBase::OnInitDialog(wParam, lParam);
    // A scheme may hold rows without a name, which the list leaves out: a
    // position past the named rows means the end.
    auto count = static_cast<std::int32_t>(m_otherPlugins.size());
    m_placement.position = std::clamp(m_placement.position, 0, count);
    std::vector<WideString> lines = m_otherPlugins;
    lines.insert(lines.begin() + m_placement.position, kOwnLine);
    ui::FillList(Window(), kListId, lines, m_placement.position);
    SetFocus(GetDlgItem(Window(), kListId));
    return result;
}

LRESULT PluginConfigDlg1::OnCommand(WORD notifyCode, WORD commandId, HWND)
{
    if (commandId == kListId && notifyCode == LBN_SELCHANGE)
        MoveOwnLine();
    else if (commandId == kCommandNext)
        EndDialog(1);
    else if (commandId == kCommandCancel)
        EndDialog(0);
    return 0;
}

void PluginConfigDlg1::MoveOwnLine()
{
    int picked = ui::ListSelection(Window(), kListId);
    if (picked < 0 || picked == m_placement.position)
        return;
    HWND list = GetDlgItem(Window(), kListId);
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(m_placement.position), 0);
    SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(picked), reinterpret_cast<LPARAM>(kOwnLine));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(picked), 0);
    m_placement.position = picked;
}

PluginConfigDlg2::PluginConfigDlg2(PluginPlacement& placement) : m_placement(placement)
{
    RegisterDialogClass();
    const WidthRule labelWidth{45, -3, 0, 0};
    AddItem(MoveRightDown({0, 3, 0, 0}, {0, 3, 0}));
    AddItem(CheckBoxItem(kAutoHideId, u"Auto-hide", kFullWidth));
    AddItem(MoveDown({0, 5, 1}));
    AddItem(LabelItem(1001, u"Height:", labelWidth, 3));
    AddItem(MoveRight({45, 0, 0, 0}));
    AddItem(EditItem(kHeightId, WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL, {55, -6, 0, 0}, kRow));
    AddItem(MoveBack(1));
    AddItem(MoveDown({0, 5, 1}));
    AddItem(LabelItem(1003, u"B-border:", labelWidth, 3));
    AddItem(MoveRight({45, 0, 0, 0}));
    auto border = AddItem(MakeRef<MyListBoxWindow>(kBorderId, kListStyle, WidthRule{55, -6, 0, 0}, kRow));
    AddItem(SpinItem(1005, kSpinStyle, border));
}

LRESULT PluginConfigDlg2::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DialogBase::OnInitDialog(wParam, lParam);
    ui::SetChecked(Window(), kAutoHideId, m_placement.autoHeight);
    SendDlgItemMessageW(Window(), kHeightId, EM_LIMITTEXT, kMaxHeightChars, 0);
    ui::SetEditText(Window(), kHeightId, m_placement.height);
    ui::FillList(Window(), kBorderId, {u"Default", u"On", u"Off"}, m_placement.borderMode);
    return result;
}

LRESULT PluginConfigDlg2::OnCommand(WORD, WORD commandId, HWND)
{
    if (commandId == kCommandPrevious) {
        KeepValues();
        EndDialog(kBack);
    } else if (commandId == kCommandDone) {
        KeepValues();
        EndDialog(1);
    }
    return 0;
}

void PluginConfigDlg2::KeepValues()
{
    m_placement.autoHeight = ui::IsChecked(Window(), kAutoHideId);
    m_placement.height = ui::EditText(Window(), kHeightId, kMaxHeightReadChars);
    // A border mode outside the list (from the scheme file) shows no line
    // and stays as it was.
    int border = ui::ListSelection(Window(), kBorderId);
    if (border >= 0)
        m_placement.borderMode = border;
}

bool RunPluginSetupScreens(HWND owner, const std::vector<WideString>& otherPlugins, PluginPlacement& placement)
{
    for (;;) {
        RefPtr<PluginConfigDlg1> location = MakeRef<PluginConfigDlg1>(otherPlugins, placement);
        if (location->DoModal(kTitle, 50, 50, owner) != 1)
            return false;
        RefPtr<PluginConfigDlg2> look = MakeRef<PluginConfigDlg2>(placement);
        INT_PTR answer = look->DoModal(kTitle, 50, 50, owner);
        if (answer != PluginConfigDlg2::kBack)
            return answer == 1;
    }
}

}  // namespace home
