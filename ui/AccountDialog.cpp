#include "ui/AccountDialog.h"

#include "app/Uin.h"
#include "platform/win/Controls.h"
#include "ui/ControlValues.h"
#include "ui/ScreenMessage.h"
#include "ui/SettingsSave.h"
#include "ui/framework/Items.h"

namespace {

constexpr WORD kCommandOk = 2002;
constexpr WORD kCommandCancel = 2003;
constexpr DWORD kUinStyle = WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL;
constexpr DWORD kPasswordStyle = WS_BORDER | ES_PASSWORD | ES_AUTOHSCROLL;
constexpr const WCHAR* kTitle = u"Account";

}  // namespace

AccountDialog::AccountDialog(AppCore& core) : m_core(core)
{
    RegisterDialogClass();
    AddItem(MoveRightDown({5, 0, 0, 0}, {0, 4, 0}));
    AddItem(CheckBoxItem(kEnabledId, u"ICQ  (icq.com)", {95, 0, 0, 0}));
    AddItem(MoveDown({0, 5, 1}));
    AddItem(LabelItem(1001, u"UIN", {0, 0, 8, 0}));
    AddItem(MoveRight({0, 0, 8, 0}));
    AddItem(EditItem(kUinId, kUinStyle, {95, 0, -8, 0}, {0, 3, 1}));
    AddItem(MoveBack(1));
    AddItem(MoveDown({0, 5, 1}));
    AddItem(LabelItem(1003, u"Password", {0, 0, 8, 0}));
    AddItem(MoveRight({0, 0, 8, 0}));
    AddItem(EditItem(kPasswordId, kPasswordStyle, {95, 0, -8, 0}, {0, 3, 1}));
    AddItem(MoveBack(1));
    AddItem(MoveDown({0, 6, 1}));
}

LRESULT AccountDialog::OnInitDialog(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DialogBase::OnInitDialog(wParam, lParam);
    RefPtr<Settings> settings = ui::ReadSettings();
    m_shown = {settings->icqEnabled, settings->uin, settings->password};
    m_shown.uin.resize(std::min(m_shown.uin.size(), kMaxFieldChars));
    m_shown.password.resize(std::min(m_shown.password.size(), kMaxFieldChars));
    ui::SetChecked(Window(), kEnabledId, m_shown.enabled);
    for (int id : {kUinId, kPasswordId})
        SendDlgItemMessageW(Window(), id, EM_LIMITTEXT, kMaxFieldChars, 0);
    ui::SetEditText(Window(), kUinId, m_shown.uin);
    ui::SetEditText(Window(), kPasswordId, m_shown.password);
    return result;
}

LRESULT AccountDialog::OnCommand(WORD, WORD commandId, HWND)
{
    if (commandId == kCommandOk)
        Confirm();
    else if (commandId == kCommandCancel)
        EndDialog(0);
    return 0;
}

AccountDialog::Values AccountDialog::ReadControls() const
{
    Values values;
    values.uin = ui::EditText(Window(), kUinId, kMaxFieldChars);
    values.password = ui::EditText(Window(), kPasswordId, kMaxFieldChars);
    // An account without a UIN cannot log in: it is switched off instead.
    values.enabled = ui::IsChecked(Window(), kEnabledId) && !values.uin.empty();
    return values;
}

bool AccountDialog::Check(const Values& values)
{
    const WCHAR* problem = nullptr;
    int field = 0;
    if (!values.uin.empty() && !app::IsUinText(values.uin)) {
        problem = u"The UIN is a number of 1 to 12 digits.";
        field = kUinId;
    } else if (values.enabled && values.password.empty()) {
        problem = u"Enter the password of the account.";
        field = kPasswordId;
    }
    if (problem == nullptr)
        return true;
    ui::ShowProblem(Window(), kTitle, problem, false);
    SetFocus(GetDlgItem(Window(), field));
    return false;
}

void AccountDialog::Confirm()
{
    Values values = ReadControls();
    bool enabledChanged = values.enabled != m_shown.enabled;
    bool uinChanged = values.uin != m_shown.uin;
    bool passwordChanged = values.password != m_shown.password;
    if (!enabledChanged && !uinChanged && !passwordChanged) {
        EndDialog(0);
        return;
    }
    if (!Check(values))
        return;
    RefPtr<Settings> saved = ui::SaveChanges(Window(), kTitle, [&](Settings& settings) {
        if (enabledChanged)
            settings.icqEnabled = values.enabled;
        if (uinChanged)
            settings.uin = values.uin;
        if (passwordChanged)
            settings.password = values.password;
        // The rule holds for the stored account as a whole, whatever else
        // changed the file meanwhile.
        if (settings.uin.empty())
            settings.icqEnabled = false;
    });
    if (!saved) {
        EndDialog(0);
        return;
    }
    m_core.Post(MakeRef<AppEvent>(EventType::AccountChanged));
    EndDialog(1);
}
