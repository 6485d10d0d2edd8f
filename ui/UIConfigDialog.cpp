#include "ui/UIConfigDialog.h"

#include <string>

#include "app/AppGlobals.h"
#include "platform/text/CodePage.h"
#include "platform/win/Controls.h"
#include "ui/AdvancedConfigDialog.h"
#include "ui/ControlValues.h"
#include "ui/ScreenMessage.h"
#include "ui/SettingsSave.h"
#include "ui/framework/Items.h"

namespace {

constexpr WORD kCommandOk = 2002;
constexpr WORD kCommandCancel = 2003;
constexpr DWORD kListStyle = 0x50810101;  // child, visible, border, tab stop, notify, no integral height
constexpr DWORD kSpinStyle = 0x50000267;  // child, visible, arrow keys, aligned right of the buddy
constexpr int kMaxVibroCount = 5;
constexpr int kHighestCodePage = 65535;
constexpr const WCHAR* kTitle = u"Settings";

struct CheckOption {
    int id;
    const WCHAR* caption;
    bool Settings::*field;
};

// The check boxes in screen order (the vibration row has its count beside
// it and is laid out on its own).
constexpr CheckOption kShowOffline{1000, u"Show offline contacts", &Settings::showOffline};
constexpr CheckOption kSound{1001, u"New message sound", &Settings::sound};
constexpr CheckOption kVibro{1002, u"Vibration", &Settings::vibro};
constexpr CheckOption kAfterCodePage[] = {
    {1008, u"Date/time in chat", &Settings::showDateTime},
    {1009, u"Names in chat", &Settings::showNames},
    {1010, u"Request delivery ack", &Settings::sendingAck},
    {1011, u"Typing notifications", &Settings::typingNotifications},
    {1012, u"Cyclic scrolling", &Settings::scrolling},
    {1013, u"Joystick <Right> opens chat", &Settings::joystickRightChat},
};

std::vector<CheckOption> AllChecks()
{
    std::vector<CheckOption> all = {kShowOffline, kSound, kVibro};
    all.insert(all.end(), std::begin(kAfterCodePage), std::end(kAfterCodePage));
    return all;
}

}  // namespace

UIConfigDialog::UIConfigDialog()
{
    RegisterDialogClass();
    const HeightRule row{0, 3, 1};
    AddItem(MoveRightDown({0, 3, 0, 0}, {0, 3, 0}));
    for (const CheckOption& option : {kShowOffline, kSound}) {
        AddItem(CheckBoxItem(option.id, option.caption, {100, -6, 0, 0}));
        AddItem(MoveDown(row));
    }
    AddItem(CheckBoxItem(kVibro.id, kVibro.caption, {0, 0, 4, 1}));
    AddItem(MoveRight({0, 10, 4, 1}));
    auto count = AddItem(MakeRef<MyListBoxWindow>(kVibroCountId, kListStyle, WidthRule{0, 0, 6, 0}, row));
    AddItem(SpinItem(1004, kSpinStyle, count));
    AddItem(MoveBack(1));
    AddItem(MoveDown(row));
    AddItem(LabelItem(1005, u"Codepage:", {0, 0, 0, 1}, 3));
    AddItem(MoveRight({0, 4, 0, 1}));
    AddItem(EditItem(kCodePageId, WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL, {0, 0, 5, 0}, row));
    AddItem(MoveRight({0, 4, 5, 0}));
    AddItem(LabelItem(1007, u"(0-default)", {0, 0, 0, 1}, 3));
    AddItem(MoveBack(2));
    for (const CheckOption& option : kAfterCodePage) {
        AddItem(MoveDown(row));
        AddItem(CheckBoxItem(option.id, option.caption, {100, -6, 0, 0}));
    }
}

LRESULT UIConfigDialog::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DialogBase::OnInitDialog(wParam, lParam);
    m_shown = ui::ReadSettings();
    m_supportCh2 = m_shown->icqSupportCh2;
    for (const CheckOption& option : AllChecks())
        ui::SetChecked(Window(), option.id, (*m_shown).*option.field);
    ui::FillList(Window(), kVibroCountId, {u"1", u"2", u"3", u"4", u"5"}, m_shown->vibroCount - 1);
    SendDlgItemMessageW(Window(), kCodePageId, EM_LIMITTEXT, kMaxCodePageChars, 0);
    ui::SetEditText(Window(), kCodePageId, ui::DecimalText(m_shown->codePage));
    return result;
}

LRESULT UIConfigDialog::OnCommand(WORD, WORD commandId, HWND)
{
    if (commandId == kCommandOk)
        Confirm();
    else if (commandId == kCommandAdvanced)
        RunAdvanced();
    else if (commandId == kCommandCancel)
        EndDialog(0);
    return 0;
}

void UIConfigDialog::RunAdvanced()
{
    RefPtr<AdvancedConfigDialog> advanced = MakeRef<AdvancedConfigDialog>(m_supportCh2);
    if (advanced->DoModal(u"Advanced settings", 50, 50, Window()) == 1)
        m_supportCh2 = advanced->SupportCh2();
}

bool UIConfigDialog::ReadCodePage(std::int32_t& codePage)
{
    codePage = ui::LeadingNumber(ui::EditText(Window(), kCodePageId, kMaxCodePageChars), kHighestCodePage + 1);
    if (codePage == 0 || (codePage <= kHighestCodePage && platform::IsSupportedCodePage(static_cast<UINT>(codePage))))
        return true;
    ui::ShowProblem(Window(), kTitle, u"This device has no such code page. Enter 0 for the device's own.", false);
    SetFocus(GetDlgItem(Window(), kCodePageId));
    return false;
}

void UIConfigDialog::Confirm()
{
    std::int32_t codePage = 0;
    if (!ReadCodePage(codePage))
        return;
    const Settings& shown = *m_shown;
    std::vector<std::pair<bool Settings::*, bool>> checks;
    for (const CheckOption& option : AllChecks()) {
        bool checked = ui::IsChecked(Window(), option.id);
        if (checked != shown.*option.field)
            checks.emplace_back(option.field, checked);
    }
    int selection = ui::ListSelection(Window(), kVibroCountId);
    std::int32_t vibroCount = selection >= 0 && selection < kMaxVibroCount ? selection + 1 : shown.vibroCount;

    std::int32_t codePageBefore = app::ProcessCodePage();
    RefPtr<Settings> saved = ui::SaveChanges(Window(), kTitle, [&](Settings& settings) {
        for (const auto& [field, value] : checks)
            settings.*field = value;
        if (vibroCount != shown.vibroCount)
            settings.vibroCount = vibroCount;
        if (m_supportCh2 != shown.icqSupportCh2)
            settings.icqSupportCh2 = m_supportCh2;
        if (codePage != shown.codePage) {
            settings.codePage = codePage;
            // The stored password is written in the code page the program
            // reads it with from now on.
            app::SetProcessCodePage(codePage);
        }
    });
    if (!saved) {
        app::SetProcessCodePage(codePageBefore);
        EndDialog(0);
        return;
    }
    EndDialog(1);
}
