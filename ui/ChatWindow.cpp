#include "ui/ChatWindow.h"

#include <algorithm>

#include "app/InterfaceStage.h"
#include "oscar/ContactOrder.h"
#include "oscar/ContactStore.h"
#include "oscar/OnlineStatus.h"
#include "oscar/messaging/MessageEvents.h"
#include "platform/base/Clock.h"
#include "platform/base/LastError.h"
#include "platform/shell/Shell.h"
#include "platform/shell/ShellExecute.h"
#include "platform/sync/Sync.h"
#include "platform/win/Controls.h"
#include "skin/Look.h"
#include "skin/smiley/SmileyPicker.h"
#include "ui/MainWindow.h"
#include "ui/OpenChats.h"
#include "ui/ScreenMessage.h"
#include "ui/chat/Drafts.h"

namespace {

constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL;
constexpr UINT kBackKey = 0x1B;
constexpr WPARAM kInputModeText = 3;
constexpr WPARAM kKeyAction = 0x0D;
constexpr WPARAM kKeyLeft = 0x25;
constexpr WPARAM kKeyUp = 0x26;
constexpr WPARAM kKeyRight = 0x27;
constexpr WPARAM kKeyDown = 0x28;

}  // namespace

ChatWindow::ChatWindow(AppCore& core, RefPtr<Contact> contact)
    : m_core(core), m_contact(std::move(contact)), m_uin(m_contact ? m_contact->uin : WideString())
{
}

ChatWindow::~ChatWindow()
{
    StopListening();
    m_surface.Drop();
    if (m_separatorPen != nullptr)
        DeleteObject(m_separatorPen);
}

void ChatWindow::StopListening()
{
    if (m_listening)
        app::RemoveListener(this);
    m_listening = false;
}

void ChatWindow::OnCreated()
{
    m_separatorPen = CreatePen(PS_SOLID, 0, RGB(0, 0, 0));
    m_edit = MakeRef<TextBoxWindow>(kEditId, WideString(), kEditStyle, WidthRule{}, HeightRule{});
    m_edit->CreateChild(Window());
    if (RefPtr<skin::Skin> look = skin::CurrentSkin(m_core))
        SendMessageW(Edit(), WM_SETFONT, reinterpret_cast<WPARAM>(look->chatFont.Handle()), 0);
    SetFocus(Edit());
    SendMessageW(Edit(), EM_SETINPUTMODE, 0, kInputModeText);
    if (MenuBar() != nullptr)
        SendMessageW(MenuBar(), SHCMBM_OVERRIDEKEY, kBackKey,
                     MAKELONG(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY));
    if (m_core.GetSettings()->typingNotifications)
        SetTimer(Window(), kTypingTimer, kTypingPeriod, nullptr);
    WideString unsent;
    bool sending = false;
    if (ContactStore* store = Store()) {
        store->SetUnread(m_contact, false);
        platform::CriticalSectionLock lock(store->Lock());
        unsent = m_contact->cachedText;
        sending = m_contact->sending;
    }
    PutInBox(TextForBox(sending, unsent));
    PlaceEdit();
    UpdateTitle();
    UpdateSoftKeys();
    openchats::Record(m_uin, Window());
    app::AddListener(this);
    m_listening = true;
}

void ChatWindow::OnDestroy()
{
    KillTimer(Window(), kTypingTimer);
    KillTimer(Window(), kHistoryRetryTimer);
    StopListening();
    if (Edit() != nullptr)
        SendMessageW(Edit(), WM_CLOSE, 0, 0);
    m_surface.Drop();
    if (openchats::Find(m_uin) == Window())
        openchats::Forget(m_uin);
}

LRESULT ChatWindow::OnClose()
{
    // The contact would otherwise see the user typing until its own time-out.
    StopTyping();
    LeaveText();
    if (openchats::Find(m_uin) == Window())
        openchats::Forget(m_uin);
    return 0;
}

void ChatWindow::OnWindowPosChanged(WINDOWPOS*, bool& handled)
{
    m_surface.Drop();
    ForgetLines();
    PlaceEdit();
    Invalidate();
    handled = true;
}

int ChatWindow::LineHeight()
{
    HDC dc = GetDC(Window());
    HGDIOBJ old = nullptr;
    if (RefPtr<skin::Skin> look = skin::CurrentSkin(m_core))
        old = SelectObject(dc, look->chatFont.Handle());
    SIZE letter{};
    GetTextExtentPoint32W(dc, u"A", 1, &letter);
    if (old != nullptr)
        SelectObject(dc, old);
    ReleaseDC(Window(), dc);
    return std::max<int>(letter.cy, 1);
}

void ChatWindow::PlaceEdit()
{
    if (Edit() == nullptr)
        return;
    RECT client{};
    GetClientRect(Window(), &client);
    RefPtr<skin::Skin> look = skin::CurrentSkin(m_core);
    int rows = look ? std::max(look->MessageAreaHeight(), 1) : 3;
    int editHeight = std::min<int>(LineHeight() * rows, client.bottom);
    m_historyHeight = std::max<int>(client.bottom - editHeight - 1, 0);
    MoveWindow(Edit(), 0, m_historyHeight + 1, client.right, editHeight, TRUE);
}

WideString ChatWindow::EditText() const
{
    HWND edit = Edit();
    if (edit == nullptr)
        return {};
    int length = GetWindowTextLengthW(edit);
    if (length <= 0)
        return {};
    WideString text(static_cast<std::size_t>(length) + 1, u'\0');
    int copied = GetWindowTextW(edit, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::clamp(copied, 0, length)));
    return text;
}

// A contact deleted from the list while its chat is open, and created again
// by a message either way, is a new object: the window follows the list's
// object for its UIN, so that it shows and keeps the presence, the pending
// send and the unsent text the list knows. While the UIN is not listed the
// window keeps the object it has.
void ChatWindow::FollowContact()
{
    ContactStore* store = Store();
    if (store == nullptr)
        return;
    if (RefPtr<Contact> listed = store->FindContact(m_uin); listed && listed != m_contact)
        m_contact = listed;
}

bool ChatWindow::SendPending()
{
    FollowContact();
    ContactStore* store = Store();
    if (store == nullptr || !m_contact)
        return false;
    platform::CriticalSectionLock lock(store->Lock());
    return m_contact->sending;
}

void ChatWindow::UpdateTitle()
{
    if (!m_contact)
        return;
    ContactStore* store = Store();
    if (store == nullptr)
        return;
    WideString title;
    {
        platform::CriticalSectionLock lock(store->Lock());
        title = oscar::DisplayName(*m_contact) + u" (" +
                (m_contact->typing ? WideString(u"typing...") : OnlineStatus::Text(m_contact->status)) + u")";
    }
    SetWindowTextW(Window(), title.c_str());
}

void ChatWindow::UpdateSoftKeys()
{
    bool send = !EditText().empty() && !SendPending();
    if (send == m_leftKeyIsSend)
        return;
    m_leftKeyIsSend = send;
    WideString label = send ? u"Send" : u"Back";
    TBBUTTONINFOW info;
    info.dwMask = TBIF_TEXT;
    info.pszText = label.data();
    SendMessageW(MenuBar(), TB_SETBUTTONINFO, kBackOrSend, reinterpret_cast<LPARAM>(&info));
}

// Typing notices go out only while the user allows them.
void ChatWindow::NotifyTyping(oscar::TypingState state)
{
    if (m_core.GetSettings()->typingNotifications)
        SendTyping(state);
}

void ChatWindow::StopTyping()
{
    if (!m_typing)
        return;
    m_typing = false;
    NotifyTyping(EditText().empty() ? oscar::TypingState::Finished : oscar::TypingState::Paused);
}

void ChatWindow::OnEditChanged()
{
    if (EditText().empty()) {
        if (m_typing) {
            m_typing = false;
            NotifyTyping(oscar::TypingState::Finished);
        }
    } else {
        DropLinkSelection();
        m_lastKeyTick = GetTickCount();
        if (!m_typing) {
            m_typing = true;
            m_lastSentTick = m_lastKeyTick;
            NotifyTyping(oscar::TypingState::Started);
        }
    }
    UpdateSoftKeys();
}

// While typing: the notice is repeated every seven seconds of typing and
// turns into "paused" after eight seconds without a key.
void ChatWindow::OnTypingTimer()
{
    if (!m_typing)
        return;
    if (m_lastKeyTick - m_lastSentTick > kTypingRepeat) {
        m_lastSentTick = m_lastKeyTick;
        NotifyTyping(oscar::TypingState::Started);
    } else if (GetTickCount() - m_lastKeyTick > kTypingIdle) {
        m_typing = false;
        NotifyTyping(EditText().empty() ? oscar::TypingState::Finished : oscar::TypingState::Paused);
    }
}

void ChatWindow::OnBackOrSend()
{
    // Sending ends the typing: the box is about to be emptied.
    if (m_typing) {
        m_typing = false;
        NotifyTyping(oscar::TypingState::Finished);
    }
    WideString text = EditText();
    if (!text.empty() && !SendPending()) {
        // Refused texts (not signed on, too long) stay in the box; one that is
        // not signed on is also kept as the contact's unsent text.
        oscar::SendResult result = SendText(text);
        if (result == oscar::SendResult::Sent)
            SetWindowTextW(Edit(), u"");
        UpdateSoftKeys();
        if (result == oscar::SendResult::TooLong)
            ui::ShowProblem(Window(), u"Send", u"The message is too long to send. Shorten it and send it again.",
                            false);
        return;
    }
    LeaveText();
    if (openchats::Find(m_uin) == Window())
        openchats::Forget(m_uin);
    BackToMainWindow();
    StopListening();
    Destroy();
}

void ChatWindow::BackToMainWindow()
{
    HWND main = FindWindowW(kMainWindowClass, nullptr);
    if (main == nullptr)
        return;
    ShowWindow(main, SW_SHOW);
    SetForegroundWindow(main);
}

void ChatWindow::PickSmiley()
{
    RefPtr<skin::SmileySet> set = Smilies();
    if (!set)
        return;
    if (RefPtr<skin::Smiley> chosen = skin::PickSmiley(set, Window()))
        skin::TypeSmileyCode(Edit(), *chosen);
}

LRESULT ChatWindow::OnChildKeyDown(WPARAM key, LPARAM, HWND, bool& handled)
{
    switch (key) {
    case kKeyRight:
        // The caret cannot move in an empty box: Right chooses the links.
        if (!EditText().empty()) {
            handled = false;
            return 0;
        }
        SelectNextLink();
        handled = true;
        return 0;
    case kKeyAction:
        handled = m_selectedLink.has_value();
        if (handled)
            OpenSelectedLink();
        return 0;
    case kKeyLeft:
        if (m_selectedLink) {
            DropLinkSelection();
            handled = true;
            return 0;
        }
        if (!EditText().empty() && !SendPending()) {
            handled = false;
            return 0;
        }
        handled = true;
        Close();
        BackToMainWindow();
        return 0;
    case kKeyUp:
        m_pending.push_back({PendingKind::Older, {}});
        Invalidate();
        handled = true;
        return 0;
    case kKeyDown:
        m_pending.push_back({PendingKind::Newer, {}});
        Invalidate();
        handled = true;
        return 0;
    default:
        handled = false;
        return 0;
    }
}

LRESULT ChatWindow::OnCommand(WORD notifyCode, WORD commandId, HWND control)
{
    if (control != nullptr && control == Edit()) {
        if (notifyCode == EN_CHANGE)
            OnEditChanged();
        return 0;
    }
    switch (commandId) {
    case kBackOrSend:
        OnBackOrSend();
        break;
    case kSmile:
        PickSmiley();
        break;
    case kClose:
        Close();
        BackToMainWindow();
        break;
    default:
        break;
    }
    return 0;
}

LRESULT ChatWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == kTypingTimer) {
            OnTypingTimer();
            handled = true;
            return 0;
        }
        if (wParam == kHistoryRetryTimer) {
            KillTimer(Window(), kHistoryRetryTimer);
            Invalidate();
            handled = true;
            return 0;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            StopTyping();
        break;
    case WM_SETFOCUS:
        if (ContactStore* store = Store())
            store->SetUnread(m_contact, false);
        if (Edit() != nullptr) {
            SetFocus(Edit());
            SendMessageW(Edit(), EM_SETINPUTMODE, 0, kInputModeText);
        }
        break;
    case WM_HOTKEY:
        if (HIWORD(static_cast<std::uintptr_t>(lParam)) == kBackKey) {
            SHSendBackToFocusWindow(message, wParam, lParam);
            handled = true;
            return 0;
        }
        break;
    default:
        break;
    }
    return WindowBase::OnMessage(message, wParam, lParam, handled);
}

void ChatWindow::OnEvent(const RefPtr<AppEvent>& event)
{
    if (Window() == nullptr)
        return;
    FollowContact();
    switch (event->Type()) {
    case EventType::IncomingMessage:
        if (auto* incoming = dynamic_cast<const oscar::IncomingMessageEvent*>(event.Get());
            incoming != nullptr && incoming->Message() && incoming->Message()->sender == m_uin) {
            Append({incoming->Message()->time, 1, incoming->Message()->text});
            if (GetForegroundWindow() == Window() && Store() != nullptr)
                Store()->SetUnread(m_contact, false);
        }
        break;
    case EventType::OwnMessageDelivered:
        if (auto* delivered = dynamic_cast<const oscar::DeliveryEvent*>(event.Get());
            delivered != nullptr && delivered->Uin() == m_uin) {
            SYSTEMTIME now{};
            GetLocalTime(&now);
            Append({now, 0, delivered->Text()});
            UpdateSoftKeys();
        }
        break;
    case EventType::OwnMessageNotConfirmed:
        if (auto* lost = dynamic_cast<const oscar::DeliveryEvent*>(event.Get());
            lost != nullptr && lost->Uin() == m_uin) {
            // The text was kept as unsent: it goes back into an empty box so
            // that the user can send it again.
            WideString unsent;
            if (ContactStore* store = Store()) {
                platform::CriticalSectionLock lock(store->Lock());
                unsent = m_contact->cachedText;
            }
            if (EditText().empty())
                PutInBox(unsent);
            UpdateSoftKeys();
        }
        break;
    case EventType::SettingsChanged:
        ForgetLines();
        Invalidate();
        break;
    case EventType::ViewRefresh:
    case EventType::TypingNotification:
        UpdateTitle();
        break;
    default:
        break;
    }
}

void ChatWindow::Append(chat::Message message)
{
    m_pending.push_back({PendingKind::Append, std::move(message)});
    Invalidate();
}

void ChatWindow::ForgetLines()
{
    m_selectedLink.reset();
    m_lines.clear();
    m_incoming.clear();
    m_spans.clear();
    m_keptRecords = 0;
    m_newerDropped = 0;
    m_droppedRuns.clear();
    m_scrollOffset = 0;
    m_historyDone = false;
}

// What the box shows when the window opens: the unsent text, unless it is the
// message on its way; and what was typed while that message was on its way.
WideString ChatWindow::TextForBox(bool sending, const WideString& unsent)
{
    WideString draft = chat::TakeDraft(m_uin);
    if (sending || unsent.empty())
        return draft;
    return draft.empty() ? unsent : unsent + u"\r\n" + draft;
}

void ChatWindow::PutInBox(const WideString& text)
{
    if (text.empty() || Edit() == nullptr)
        return;
    SetWindowTextW(Edit(), text.c_str());
    SendMessageW(Edit(), EM_SETSEL, text.size(), static_cast<LPARAM>(text.size()));
}

// The box's text outlives the window: as the contact's unsent text, or, while
// a message is on its way (its text is the unsent text until confirmed), as
// a draft for the contact's next window.
void ChatWindow::LeaveText()
{
    if (SendPending())
        chat::KeepDraft(m_uin, EditText());
    else
        KeepUnsentText(EditText());
}

WideString ChatWindow::SelectedLink() const
{
    if (!m_selectedLink || m_selectedLink->line >= m_lines.size() ||
        m_selectedLink->run >= m_lines[m_selectedLink->line].size())
        return {};
    return m_lines[m_selectedLink->line][m_selectedLink->run].target;
}

WideString ChatWindow::LineText(std::size_t line) const
{
    WideString text;
    if (line >= m_lines.size())
        return text;
    for (const chat::Run& run : m_lines[line])
        text += run.text;
    return text;
}

void ChatWindow::SelectNextLink()
{
    std::optional<chat::LinkAt> next =
        chat::NextLink(m_lines, static_cast<std::size_t>(m_scrollOffset), m_linesInView, m_selectedLink);
    if (next == m_selectedLink)
        return;
    m_selectedLink = next;
    Invalidate();
}

void ChatWindow::DropLinkSelection()
{
    if (!m_selectedLink)
        return;
    m_selectedLink.reset();
    Invalidate();
}

// The desktop's handler opens web addresses; anything else is refused there
// and the user is told.
void ChatWindow::OpenSelectedLink()
{
    WideString address = SelectedLink();
    if (address.empty())
        return;
    SHELLEXECUTEINFO info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = Window();
    info.lpVerb = u"open";
    info.lpFile = address.c_str();
    if (ShellExecuteEx(&info))
        return;
    const WCHAR* why = GetLastError() == ERROR_NO_ASSOCIATION ? u"This device has no program that opens links."
                                                               : u"This link cannot be opened.";
    ui::ShowProblem(Window(), u"Link", why, false);
}
