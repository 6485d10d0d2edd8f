#include "ui/SearchWindow.h"

#include <string>

#include "app/InterfaceStage.h"
#include "oscar/IcqAccount.h"
#include "oscar/meta/DirectoryText.h"
#include "platform/win/Controls.h"
#include "ui/IcqErrorBox.h"
#include "ui/InfoLayout.h"
#include "ui/MainSession.h"
#include "ui/UserInfoWindow.h"

namespace {

constexpr UINT_PTR kAnswerTimer = 1;
constexpr UINT kShowError = WM_APP + 0x56;
constexpr WPARAM kActionKey = 0x0D;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kSpinStyle = 0x50000067;

const char16_t* const kGenders[] = {u"", u"Female", u"Male"};

WideString Decimal(std::size_t value)
{
    std::string digits = std::to_string(value);
    return WideString(digits.begin(), digits.end());
}

// A one-line list stepped with its spinner, filling the value column.
RefPtr<ControlItem> SpinnerRow(DialogBase& dialog, int labelId, const WideString& caption)
{
    auto list = MakeRef<ListBoxWindow>(labelId + 1, kChild | LBS_NOTIFY, infolayout::kValueWidth,
                                       infolayout::kLineHeight);
    dialog.AddItem(LabelItem(labelId, caption, WidthRule{0, 3, 0, 1}, 1));
    dialog.AddItem(MoveRight({0, 0, infolayout::kLabelChars, 0}));
    dialog.AddItem(list);
    dialog.AddItem(SpinItem(labelId + 2, kSpinStyle, list));
    dialog.AddItem(MoveBack(1));
    dialog.AddItem(MoveDown({0, 2, 1}));
    return list;
}

}  // namespace

SearchWindow::SearchWindow(AppCore& core) : m_core(core), m_query(MakeRef<oscar::DirectoryQuery>(core))
{
    RegisterDialogClass();
    BuildLayout();
}

SearchWindow::~SearchWindow()
{
    if (m_listening)
        app::RemoveListener(this);
    m_query->Cancel();
}

void SearchWindow::BuildLayout()
{
    using namespace infolayout;
    Start(*this);
    EditRow(*this, 1200, u"UIN", kAutoScroll | kDigitsOnly);
    EditRow(*this, 1202, u"Nickname", kAutoScroll);
    EditRow(*this, 1204, u"First name", kAutoScroll);
    EditRow(*this, 1206, u"Last name", kAutoScroll);
    EditRow(*this, 1208, u"E-mail", kAutoScroll);
    SpinnerRow(*this, 1210, u"Gender");
    SpinnerRow(*this, 1213, u"Age");
    EditRow(*this, 1216, u"City", kAutoScroll);
    AddItem(MakeRef<MyListBoxWindow>(kResultList, kChild | WS_VSCROLL | WS_BORDER | LBS_NOTIFY,
                                     WidthRule{100, -4, 0, 0}, HeightRule{0, 0, 5}));
    AddItem(MoveDown({0, 2, 5}));
    StatusLine(*this, kStatusId);
}

LRESULT SearchWindow::OnInitDialog(WPARAM, LPARAM)
{
    LRESULT result = InitializeDialog();
    if (result == 0)
        return 0;
    for (int id : {kUinEdit, kNicknameEdit, kFirstNameEdit, kLastNameEdit, kEmailEdit, kCityEdit})
        SendDlgItemMessageW(Window(), id, EM_LIMITTEXT, kFieldLimit, 0);
    for (const char16_t* gender : kGenders)
        SendDlgItemMessageW(Window(), kGenderList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(gender));
    for (int i = 0; i < oscar::kAgeChoiceCount; ++i)
        SendDlgItemMessageW(Window(), kAgeList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(oscar::AgeChoiceText(i)));
    SendDlgItemMessageW(Window(), kGenderList, LB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(Window(), kAgeList, LB_SETCURSEL, 0, 0);
    app::AddListener(this);
    m_listening = true;
    return result;
}

void SearchWindow::OnDestroy()
{
    KillTimer(Window(), kAnswerTimer);
    if (m_listening)
        app::RemoveListener(this);
    m_listening = false;
    m_query->Cancel();
}

bool SearchWindow::SignedOn() const { return mainsession::LoggedIn(m_core); }

WideString SearchWindow::Text(int id) const { return infolayout::ControlText(GetDlgItem(Window(), id), kFieldLimit); }

int SearchWindow::Selection(int id) const
{
    return static_cast<int>(SendDlgItemMessageW(Window(), id, LB_GETCURSEL, 0, 0));
}

void SearchWindow::SetStatus(const WideString& text) { SetDlgItemTextW(Window(), kStatusId, text.c_str()); }

void SearchWindow::Find()
{
    if (!SignedOn())
        return;
    SendDlgItemMessageW(Window(), kResultList, LB_RESETCONTENT, 0, 0);
    m_hitUins.clear();
    KillTimer(Window(), kAnswerTimer);
    bool sent = false;
    WideString uinText = Text(kUinEdit);
    if (!uinText.empty()) {
        // A UIN that cannot be one is not turned into a search for everybody.
        std::uint32_t uin = infolayout::UinNumber(uinText);
        if (uin == 0) {
            m_query->Cancel();
            SetStatus(u"Not a UIN");
            return;
        }
        sent = m_query->SearchByUin(uin);
    } else {
        oscar::SearchCriteria criteria;
        criteria.nickname = Text(kNicknameEdit);
        criteria.firstName = Text(kFirstNameEdit);
        criteria.lastName = Text(kLastNameEdit);
        criteria.email = Text(kEmailEdit);
        criteria.city = Text(kCityEdit);
        int gender = Selection(kGenderList);
        criteria.gender = static_cast<std::uint8_t>(gender == 1 || gender == 2 ? gender : 0);
        criteria.age = oscar::AgeRangeOfChoice(Selection(kAgeList));
        sent = m_query->SearchByDetails(criteria);
    }
    if (!sent) {
        SetStatus(u"The search could not be sent");
        return;
    }
    SetStatus(u"Searching...");
    SetTimer(Window(), kAnswerTimer, kAnswerTimeout, nullptr);
}

void SearchWindow::OnEvent(const RefPtr<AppEvent>& event)
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
    const auto* hit = dynamic_cast<const oscar::SearchHitEvent*>(event.Get());
    if (hit == nullptr)
        return;
    if (hit->Success()) {
        WideString row = oscar::SearchRowText(hit->Hit());
        LRESULT index = SendDlgItemMessageW(Window(), kResultList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
        if (index >= 0)
            m_hitUins.push_back(hit->Hit().uin);
    }
    if (hit->IsLast() || !m_query->IsWaiting()) {
        KillTimer(Window(), kAnswerTimer);
        SetStatus(m_hitUins.empty() ? WideString(u"No users found") : Decimal(m_hitUins.size()) + u" found");
    } else {
        SetStatus(u"Searching... " + Decimal(m_hitUins.size()));
    }
}

void SearchWindow::OpenSelectedHit()
{
    int selected = Selection(kResultList);
    if (selected < 0 || static_cast<std::size_t>(selected) >= m_hitUins.size())
        return;
    WideString uin = Decimal(m_hitUins[static_cast<std::size_t>(selected)]);
    RefPtr<UserInfoWindow> info = MakeRef<UserInfoWindow>(m_core, uin, true);
    info->DoModal(uin + u" info", 100, 100, Window());
    SetFocus(GetDlgItem(Window(), kResultList));
}

LRESULT SearchWindow::OnChildKeyDown(WPARAM key, LPARAM, HWND control, bool& handled)
{
    if (key == kActionKey && GetDlgCtrlID(control) == kResultList) {
        handled = true;
        OpenSelectedHit();
    }
    return 0;
}

LRESULT SearchWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (message == WM_TIMER && wParam == kAnswerTimer) {
        KillTimer(Window(), kAnswerTimer);
        m_query->Cancel();
        SetStatus(u"No answer from the directory");
    } else if (message == kShowError) {
        infolayout::ShowIcqError(Window(), m_errorText);
    }
    return DialogBase::OnMessage(message, wParam, lParam, handled);
}

LRESULT SearchWindow::OnCommand(WORD, WORD commandId, HWND control)
{
    switch (commandId) {
    case kFind:
        Find();
        break;
    case IDOK:
        if (control == nullptr && GetFocus() == GetDlgItem(Window(), kResultList))
            OpenSelectedHit();
        break;
    case kCancel:
        EndDialog(0);
        break;
    default:
        break;
    }
    return 0;
}
