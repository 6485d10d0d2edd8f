#include "oscar/ProtocolHandler.h"

#include "net/DataLink.h"
#include "oscar/FrameEvents.h"
#include "oscar/IcqAccount.h"
#include "oscar/OnlineStatus.h"
#include "oscar/SessionEvents.h"

namespace {

RefPtr<OscarSession> CurrentSession(AppCore& core)
{
    RefPtr<IcqAccount> account = IcqAccount::Current(core);
    return account ? account->Session() : nullptr;
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
        OnSendFrame(event, oscar::kLoginConnection);
        break;
    case EventType::SendBosFrame:
        OnSendFrame(event, oscar::kBosConnection);
        break;
    case EventType::AccountChanged:
        OnAccountChanged();
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
    if (RefPtr<ConnMgrLink> link = ConnMgrLink::Of(m_core))
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
}

void ProtocolHandler::OnSendFrame(const RefPtr<AppEvent>& event, int kind)
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
        m_core.ShutDownSession();
        m_core.SetUpAccount();
    }
    m_core.Post(MakeRef<AppEvent>(EventType::ViewRefresh));
}
