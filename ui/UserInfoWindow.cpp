#include "ui/UserInfoWindow.h"

#include "app/InterfaceStage.h"
#include "oscar/IcqAccount.h"
#include "platform/base/Clock.h"
#include "platform/shell/Shell.h"
#include "platform/win/Controls.h"
#include "platform/win/Menu.h"
#include "ui/IcqErrorBox.h"
#include "ui/InfoLayout.h"
#include "ui/MainSession.h"

using oscar::InfoField;

namespace {

constexpr UINT_PTR kAnswerTimer = 1;
// Posted to itself: shows the ICQ error box outside the event delivery.
constexpr UINT kShowError = WM_APP + 0x56;
// Group commands run from 41050 up to the first configuration command.
constexpr std::size_t kMaxGroups = 50;

void SetMenuText(HMENU menu, UINT item, BOOL byPosition, const WideString& text)
{
    WideString copy = text;
    MENUITEMINFOW info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = copy.data();
    SetMenuItemInfoW(menu, item, byPosition, &info);
}

}  // namespace

UserInfoWindow::UserInfoWindow(AppCore& core, WideString uin, bool fromSearch)
    : m_core(core), m_uin(std::move(uin)), m_fromSearch(fromSearch),
      m_query(MakeRef<oscar::DirectoryQuery>(core)), m_sheet(m_uin, u"")
{
    RegisterDialogClass();
    BuildLayout();
}

UserInfoWindow::~UserInfoWindow()
{
    if (m_listening)
        app::RemoveListener(this);
    m_query->Cancel();
}

void UserInfoWindow::BuildLayout()
{
    using namespace infolayout;
    Start(*this);
    for (std::size_t i = 0; i + 1 < oscar::kInfoFieldCount; ++i) {
        auto field = static_cast<InfoField>(i);
        DWORD style = field == InfoField::Nickname ? kAutoScroll : kReadOnly | kAutoScroll;
        m_edits[i] = EditRow(*this, kFirstLabelId + 2 * static_cast<int>(i), oscar::InfoFieldLabel(field), style);
    }
    // The notes: below their label, the full width and three lines high.
    const int notesLabel = kFirstLabelId + 2 * static_cast<int>(InfoField::Notes);
    AddItem(LabelItem(notesLabel, oscar::InfoFieldLabel(InfoField::Notes), WidthRule{0, 3, 0, 1}, 1));
    AddItem(MoveDown({0, 1, 1}));
    m_edits[static_cast<std::size_t>(InfoField::Notes)] =
        AddItem(EditItem(notesLabel + 1, kReadOnly | kMultiLine, WidthRule{100, -4, 0, 0}, HeightRule{0, 1, 3}));
    AddItem(MoveDown({0, 3, 3}));
    m_status = StatusLine(*this, kStatusId);
}

LRESULT UserInfoWindow::OnInitDialog(WPARAM, LPARAM)
{
    LRESULT result = InitializeDialog();
    if (result == 0)
        return 0;
    if (RefPtr<IcqAccount> account = IcqAccount::Current(m_core)) {
        if (RefPtr<Contact> contact = account->Store().FindContact(m_uin))
            m_sheet = oscar::UserInfoSheet(m_uin, contact->nickname);
    }
    SendMessageW(FieldEdit(InfoField::Nickname), EM_LIMITTEXT, 255, 0);
    ShowSheet();
    SetUpMenu();
    app::AddListener(this);
    m_listening = true;
    Request();
    return result;
}

void UserInfoWindow::OnDestroy()
{
    KillTimer(Window(), kAnswerTimer);
    if (m_listening)
        app::RemoveListener(this);
    m_listening = false;
    m_query->Cancel();
}

bool UserInfoWindow::SignedOn() const { return mainsession::LoggedIn(m_core); }

HWND UserInfoWindow::FieldEdit(InfoField field) const
{
    const RefPtr<TextBoxWindow>& edit = m_edits[static_cast<std::size_t>(field)];
    return edit ? edit->Handle() : nullptr;
}

void UserInfoWindow::SetUpMenu()
{
    HMENU popup = GetSubMenu(MenuBarMenu(), 1);
    HMENU groups = GetSubMenu(popup, 1);
    if (popup == nullptr || groups == nullptr)
        return;
    RefPtr<IcqAccount> account = IcqAccount::Current(m_core);
    RefPtr<Contact> contact = account ? account->Store().FindContact(m_uin) : nullptr;
    if (m_fromSearch) {
        SetMenuText(popup, kRefresh, FALSE, u"Search");
        WideString close = u"Close";
        TBBUTTONINFOW info;
        info.dwMask = TBIF_TEXT;
        info.pszText = close.data();
        SendMessageW(MenuBar(), TB_SETBUTTONINFO, kSave, reinterpret_cast<LPARAM>(&info));
    }
    if (contact && contact->itemId != 0)
        SetMenuText(popup, 1, TRUE, u"Move to group");
    while (GetMenuItemCount(groups) > 0)
        DeleteMenu(groups, 0, MF_BYPOSITION);
    m_groupIds.clear();
    if (account) {
        for (const RefPtr<ContactGroup>& group : account->Store().Groups()) {
            if (m_groupIds.size() == kMaxGroups)
                break;
            UINT command = kFirstGroup + static_cast<UINT>(m_groupIds.size());
            AppendMenuW(groups, MF_STRING, command, group->name.c_str());
            MENUITEMINFOW info;
            info.fMask = MIIM_DATA;
            info.dwItemData = group->id;
            SetMenuItemInfoW(groups, command, FALSE, &info);
            m_groupIds.push_back(group->id);
        }
    }
    if (!SignedOn()) {
        EnableMenuItem(popup, kRefresh, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(popup, 1, MF_BYPOSITION | MF_GRAYED);
    }
}

void UserInfoWindow::Request()
{
    KillTimer(Window(), kAnswerTimer);
    if (!m_query->RequestInformation(infolayout::UinNumber(m_uin))) {
        SetStatus(SignedOn() ? u"Not a UIN the directory knows" : u"Not signed on");
        return;
    }
    SetStatus(u"Waiting for the directory...");
    m_waitStart = GetTickCount();
    SetTimer(Window(), kAnswerTimer, kPollPeriod, nullptr);
}

// The directory's last reply of a run may be a kind this window does not
// show, so the end of the answer is noticed by looking at the query.
void UserInfoWindow::CheckAnswer()
{
    if (!m_query->IsWaiting()) {
        KillTimer(Window(), kAnswerTimer);
        SetStatus(m_basicArrived ? u"" : u"The directory has no data");
    } else if (GetTickCount() - m_waitStart >= kAnswerTimeout) {
        KillTimer(Window(), kAnswerTimer);
        m_query->Cancel();
        SetStatus(u"No answer from the directory");
    }
}

void UserInfoWindow::ShowSheet()
{
    for (std::size_t i = 0; i < oscar::kInfoFieldCount; ++i) {
        auto field = static_cast<InfoField>(i);
        HWND edit = FieldEdit(field);
        // The nickname is the user's to edit: a directory answer does not
        // overwrite what the user typed, nor put an empty name in its place.
        if (field == InfoField::Nickname &&
            (SendMessageW(edit, EM_GETMODIFY, 0, 0) != 0 || m_sheet.Text(field).empty()))
            continue;
        SetWindowTextW(edit, m_sheet.Text(field).c_str());
    }
}

void UserInfoWindow::SetStatus(const WideString& text)
{
    if (m_status && m_status->Handle() != nullptr)
        SetWindowTextW(m_status->Handle(), text.c_str());
}

void UserInfoWindow::OnEvent(const RefPtr<AppEvent>& event)
{
    if (Window() == nullptr || !m_query->Answers(*event))
        return;
    if (const auto* error = dynamic_cast<const oscar::DirectoryErrorEvent*>(event.Get())) {
        KillTimer(Window(), kAnswerTimer);
        SetStatus(u"The directory reported an error");
        if (error->Family() == 0x15 && error->Subtype() == 1) {
            m_errorText = error->Text();
            PostMessageW(Window(), kShowError, 0, 0);
        }
        return;
    }
    if (const auto* basic = dynamic_cast<const oscar::UserInfoBasicEvent*>(event.Get()); basic && basic->Success())
        m_basicArrived = true;
    if (m_sheet.Apply(*event))
        ShowSheet();
    CheckAnswer();
}

LRESULT UserInfoWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (message == WM_TIMER && wParam == kAnswerTimer) {
        CheckAnswer();
    } else if (message == kShowError) {
        infolayout::ShowIcqError(Window(), m_errorText);
    }
    return DialogBase::OnMessage(message, wParam, lParam, handled);
}

LRESULT UserInfoWindow::OnCommand(WORD, WORD commandId, HWND)
{
    if (commandId >= kFirstGroup && commandId < kFirstGroup + m_groupIds.size()) {
        PutIntoGroup(commandId - kFirstGroup);
        return 0;
    }
    switch (commandId) {
    case kSave:
        if (!m_fromSearch)
            Save();
        EndDialog(m_changed ? 1 : 0);
        break;
    case kRefresh:
        if (SignedOn())
            Request();
        break;
    case kCancel:
        EndDialog(m_changed ? 1 : 0);
        break;
    default:
        break;
    }
    return 0;
}

void UserInfoWindow::PutIntoGroup(std::size_t index)
{
    RefPtr<IcqAccount> account = IcqAccount::Current(m_core);
    if (!account || index >= m_groupIds.size())
        return;
    std::uint16_t groupId = m_groupIds[index];
    RefPtr<Contact> contact = account->Store().FindContact(m_uin);
    bool done = false;
    if (contact && contact->itemId != 0) {
        done = account->MoveContact(m_uin, groupId);
    } else {
        WideString nickname = infolayout::ControlText(FieldEdit(InfoField::Nickname), 255);
        done = account->AddContact(m_uin, nickname, groupId, m_basicArrived && !m_sheet.AuthorisationRequired());
    }
    if (!done)
        return;
    m_changed = true;
    if (HMENU popup = GetSubMenu(MenuBarMenu(), 1))
        SetMenuText(popup, 1, TRUE, u"Move to group");
    RefPtr<ContactGroup> group = account->Store().FindGroup(groupId);
    SetStatus(group ? u"In group " + group->name : WideString());
}

// The contact takes the edited nickname; its awaiting-authorisation mark is
// cleared only when a directory answer said that no authorisation is needed.
void UserInfoWindow::Save()
{
    RefPtr<IcqAccount> account = IcqAccount::Current(m_core);
    if (!account || !account->Store().FindContact(m_uin))
        return;
    WideString nickname = infolayout::ControlText(FieldEdit(InfoField::Nickname), 255);
    if (account->RenameContact(m_uin, nickname, m_basicArrived && !m_sheet.AuthorisationRequired()))
        m_changed = true;
}
