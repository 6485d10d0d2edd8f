#include "oscar/ProtocolHandler.h"

#include "net/DataLink.h"
#include "oscar/FrameEvents.h"
#include "oscar/IcqAccount.h"
#include "oscar/KeepAlive.h"
#include "oscar/OnlineStatus.h"
#include "oscar/ProtocolErrors.h"
#include "oscar/SessionEvents.h"
#include "oscar/SignOnCommands.h"
#include "oscar/UserInfo.h"

namespace oscar {

namespace {

constexpr std::uint8_t kPrivacyInvisible = 3;
constexpr std::uint8_t kPrivacyVisible = 4;

RefPtr<OscarSession> CurrentSession(AppCore& core)
{
    RefPtr<IcqAccount> account = IcqAccount::Current(core);
    return account ? account->Session() : nullptr;
}

void SendOnBos(AppCore& core, const RefPtr<oscar::FlapFrame>& frame)
{
    core.Post(MakeRef<oscar::SendFrameEvent>(EventType::SendBosFrame, frame));
}

// The privacy update is a list change the server acknowledges like the
// account's own; it takes its place among those waiting for an answer.
void NotePrivacyUpdate(ContactStore& store)
{
    platform::CriticalSectionLock guard(store.Lock());
    store.SentChanges().Sent({});
}

}  // namespace

ProtocolHandler::ProtocolHandler(AppCore& core) : m_core(core) {}

void ProtocolHandler::Handle(const RefPtr<AppEvent>& event)
{
    switch (event->Type()) {
    case EventType::LoginRequested:
        OnLoginRequested();
        break;
    case EventType::DataLinkUp:
        if (RefPtr<OscarSession> session = CurrentSession(m_core))
            session->NetworkUp();
        break;
    case EventType::DataLinkDown:
        OnDataLinkDown();
        break;
    case EventType::PresenceChosen:
        if (auto* chosen = dynamic_cast<oscar::StatusCodeEvent*>(event.Get()))
            OnStatusChosen(chosen->Code());
        break;
    case EventType::SendLoginFrame:
        OnSendFrame(event, net::ConnectionKind::Login);
        break;
    case EventType::SendBosFrame:
        OnSendFrame(event, net::ConnectionKind::Bos);
        break;
    case EventType::AccountChanged:
        OnAccountChanged();
        break;
    case EventType::BosFrameReceived:
        OnBosFrame(event);
        break;
    default:
        break;
    }
}

void ProtocolHandler::OnLoginRequested()
{
    // Asked under the AppCore lock, as the link's state is changed under it.
    platform::CriticalSectionLock guard(m_core.Lock());
    if (m_core.DataLinkState() == DataLink::Connected)
        return;
    if (RefPtr<DataConnectionLink> link = m_core.ConnectionLink())
        link->RequestDataConnection();
}

void ProtocolHandler::OnDataLinkDown()
{
    RefPtr<OscarSession> session = CurrentSession(m_core);
    if (!session)
        return;
    session->NetworkDown();
    if (session->DesiredStatus() != OnlineStatus::Offline)
        m_core.PostAfter(kRelinkDelayMilliseconds, MakeRef<AppEvent>(EventType::LoginRequested));
}

void ProtocolHandler::OnStatusChosen(std::int32_t status)
{
    RefPtr<OscarSession> session = CurrentSession(m_core);
    if (!session)
        return;
    session->RetryNow();
    std::int32_t desired = session->DesiredStatus();
    if (status == desired)
        return;
    if (desired == OnlineStatus::Offline)
        session->Start();
    session->SetDesiredStatus(status);
    if (status == OnlineStatus::Offline) {
        session->Stop();
        return;
    }
    m_core.Post(MakeRef<AppEvent>(EventType::LoginRequested));
    if (session->IsOnline())
        SetStatusWhileOnline(status);
}

// Going invisible changes the privacy setting before the status; leaving
// invisibility changes the status before the privacy setting, so that the
// user is never visible to everyone while the status says invisible.
void ProtocolHandler::SetStatusWhileOnline(std::int32_t status)
{
    RefPtr<IcqAccount> account = IcqAccount::Current(m_core);
    if (!account)
        return;
    ContactStore& store = account->Store();
    std::uint16_t privacyItem = store.PrivacyItemId();
    if (status == OnlineStatus::Invisible && privacyItem != 0 && store.PrivacyValue() != kPrivacyInvisible) {
        NotePrivacyUpdate(store);
        SendOnBos(m_core, oscar::BuildPrivacyUpdate(privacyItem, kPrivacyInvisible));
        store.SetPrivacyValue(kPrivacyInvisible);
    }
    SendOnBos(m_core, oscar::BuildSetStatus(status));
    if (OnlineStatus::Principal(status) != OnlineStatus::Invisible && privacyItem != 0 &&
        store.PrivacyValue() != kPrivacyVisible) {
        NotePrivacyUpdate(store);
        SendOnBos(m_core, oscar::BuildPrivacyUpdate(privacyItem, kPrivacyVisible));
        store.SetPrivacyValue(kPrivacyVisible);
    }
}

// Frames on the BOS connection that this handler serves at any time: the
// server's order to disconnect (channel 4) and the own online information.
void ProtocolHandler::OnBosFrame(const RefPtr<AppEvent>& event)
{
    auto* frameEvent = dynamic_cast<oscar::FrameEvent*>(event.Get());
    if (frameEvent == nullptr || !frameEvent->Frame())
        return;
    const oscar::FlapFrame& frame = *frameEvent->Frame();
    if (frame.Channel() == oscar::kChannelSignOff) {
        OnServerDisconnect(frame);
        return;
    }
    if (!frame.Snac() || frame.Snac()->Number() != oscar::CommandNumber::OwnOnlineInfo)
        return;
    // The answer to the session's liveness probe repeats the status already
    // shown; it only proves that the server is there.
    if (frame.Snac()->RequestId() == oscar::KeepAlive::kProbeRequestId)
        return;
    std::optional<oscar::UserInfo> info = oscar::ReadUserInfo(frame.Snac()->Data()->Bytes());
    if (!info)
        return;
    if (std::optional<std::int32_t> status = info->Status())
        m_core.Post(MakeRef<oscar::StatusCodeEvent>(EventType::OwnStatusConfirmed, *status));
}

void ProtocolHandler::OnServerDisconnect(const oscar::FlapFrame& frame)
{
    RefPtr<OscarSession> session = CurrentSession(m_core);
    if (!session)
        return;
    session->SetDesiredStatus(OnlineStatus::Offline);
    session->Stop();
    m_core.SetLastErrorText(oscar::DisconnectText(frame));
    m_core.Post(MakeRef<AppEvent>(EventType::ViewRefresh));
}

void ProtocolHandler::OnSendFrame(const RefPtr<AppEvent>& event, net::ConnectionKind kind)
{
    auto* send = dynamic_cast<oscar::SendFrameEvent*>(event.Get());
    RefPtr<OscarSession> session = CurrentSession(m_core);
    if (send != nullptr && session)
        session->SendFrame(kind, send->Frame());
}

void ProtocolHandler::OnAccountChanged()
{
    {
        platform::CriticalSectionLock guard(m_core.Lock());
        m_core.ShutDownAccount();
        m_core.SetUpAccount();
    }
    m_core.Post(MakeRef<AppEvent>(EventType::ViewRefresh));
}

}  // namespace oscar
