#include "oscar/BosHandler.h"

#include "oscar/FrameEvents.h"
#include "oscar/IcqAccount.h"
#include "oscar/OnlineStatus.h"
#include "oscar/OscarSession.h"
#include "oscar/SessionEvents.h"
#include "oscar/SignOnCommands.h"

namespace {

using oscar::CommandNumber;

constexpr std::uint16_t kListFlagMoreParts = 0x0001;
constexpr std::uint32_t kTypingFlags = 0x0000000B;
constexpr std::uint32_t kPlainFlags = 0x00000003;
constexpr std::uint8_t kPrivacyInvisible = 3;
constexpr std::uint8_t kPrivacyVisible = 4;

bool IsGreeting(const oscar::FlapFrame& frame)
{
    const RefPtr<oscar::ByteBuffer>& raw = frame.RawPayload();
    if (!raw || raw->Size() != 4)
        return false;
    const std::uint8_t* p = raw->Data();
    return p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 1;
}

// The received list goes to the account's cache file, so that the next
// sign-on can ask with its date and count. Only the account that owns this
// session saves; a session left over from a changed account does not.
void SaveListCache(OscarSession& session)
{
    RefPtr<IcqAccount> account = IcqAccount::Current(session.Core());
    if (account && account->Session().Get() == &session)
        account->SaveCache();
}

}  // namespace

BosHandler::BosHandler(OscarSession& session, RefPtr<oscar::ByteBuffer> cookie)
    : m_session(session), m_cookie(std::move(cookie))
{
    m_session.AddRef();
}

BosHandler::~BosHandler() { m_session.Release(); }

void BosHandler::Send(const RefPtr<oscar::FlapFrame>& frame)
{
    m_session.Core().Post(MakeRef<oscar::SendFrameEvent>(EventType::SendBosFrame, frame));
}

void BosHandler::Handle(const RefPtr<AppEvent>& event)
{
    if (event->Type() != EventType::BosFrameReceived)
        return;
    auto* frameEvent = dynamic_cast<oscar::FrameEvent*>(event.Get());
    if (frameEvent == nullptr || !frameEvent->Frame())
        return;
    platform::CriticalSectionLock guard(m_lock);
    if (!m_done)
        OnFrame(*frameEvent->Frame());
}

void BosHandler::OnFrame(const oscar::FlapFrame& frame)
{
    if (frame.Channel() == oscar::kChannelSignOn) {
        if (IsGreeting(frame)) {
            // Frames of the last connection were all handled before this
            // one's greeting, and the server's presence notices come after
            // it: what the last session left is cleared in between.
            if (m_session.Store().SetAllOffline())
                m_session.Core().Post(MakeRef<AppEvent>(EventType::ViewRefresh));
            Send(oscar::BuildCookieFrame(m_cookie));
        }
        return;
    }
    if (frame.Channel() != oscar::kChannelSnac || !frame.Snac())
        return;
    const oscar::SnacCommand& snac = *frame.Snac();
    switch (m_phase) {
    case 0:
        OnPhase0(snac);
        break;
    case 1:
        OnPhase1(snac);
        break;
    case 2:
        OnPhase2(snac);
        break;
    default:
        if (snac.Number() == CommandNumber::ListChangeAck)
            Finish();
        break;
    }
}

void BosHandler::OnPhase0(const oscar::SnacCommand& snac)
{
    switch (snac.Number()) {
    case CommandNumber::ServerReady:
        Send(oscar::BuildClientFamilyVersions());
        m_serverReadySeen = true;
        break;
    case CommandNumber::ServerFamilyVersions:
        Send(oscar::BuildSnacFrame(CommandNumber::RateLimitRequest, 0));
        m_versionsSeen = true;
        break;
    case CommandNumber::RateLimitInfo: {
        std::vector<std::uint16_t> classes = oscar::ReadRateClassIds(snac.Data()->Bytes());
        if (!classes.empty())
            Send(oscar::BuildRateAck(classes));
        m_rateInfoSeen = true;
        break;
    }
    default:
        return;
    }
    if (m_serverReadySeen && m_versionsSeen && m_rateInfoSeen) {
        m_phase = 1;
        Send(oscar::BuildSnacFrame(CommandNumber::LocationRightsRequest, 0));
        Send(oscar::BuildSetUserInfo(m_session.Core().GetSettings()->icqSupportCh2));
        Send(oscar::BuildSnacFrame(CommandNumber::BuddyRightsRequest, 0));
        Send(oscar::BuildSnacFrame(CommandNumber::MessagingParamsRequest, 0));
        Send(oscar::BuildSnacFrame(CommandNumber::PrivacyRightsRequest, 0));
        Send(oscar::BuildSnacFrame(CommandNumber::ListRightsRequest, 0));
    }
}

void BosHandler::OnPhase1(const oscar::SnacCommand& snac)
{
    switch (snac.Number()) {
    case CommandNumber::LocationRights:
        m_locationRightsSeen = true;
        break;
    case CommandNumber::BuddyRights:
        m_buddyRightsSeen = true;
        break;
    case CommandNumber::MessagingParams:
        m_messagingParamsSeen = true;
        break;
    case CommandNumber::PrivacyRights:
        m_privacyRightsSeen = true;
        break;
    case CommandNumber::ListRights:
        m_listRightsSeen = true;
        break;
    default:
        return;
    }
    if (m_locationRightsSeen && m_buddyRightsSeen && m_messagingParamsSeen && m_privacyRightsSeen &&
        m_listRightsSeen) {
        m_phase = 2;
        bool typing = m_session.Core().GetSettings()->typingNotifications;
        Send(oscar::BuildMessagingParameters(1, typing ? kTypingFlags : kPlainFlags));
        Send(oscar::BuildMessagingParameters(2, kPlainFlags));
        Send(oscar::BuildMessagingParameters(4, kPlainFlags));
        ContactStore& store = m_session.Store();
        Send(oscar::BuildListRequest(store.ListDate(), store.ListCount()));
    }
}

void BosHandler::OnPhase2(const oscar::SnacCommand& snac)
{
    if (snac.Number() == CommandNumber::ListUpToDate) {
        EnterPhase3();
        return;
    }
    if (snac.Number() != CommandNumber::ServerList)
        return;
    bool last = (snac.Flags() & kListFlagMoreParts) == 0;
    oscar::ServerListPart part = oscar::ReadServerListPart(snac.Data()->Bytes(), last);
    for (oscar::ServerListItem& item : part.items)
        m_items.push_back(std::move(item));
    if (!last)
        return;
    m_session.Store().ApplyServerList(m_items, part.date);
    m_items.clear();
    SaveListCache(m_session);
    m_session.Core().Post(MakeRef<AppEvent>(EventType::ViewRefresh));
    EnterPhase3();
}

void BosHandler::EnterPhase3()
{
    m_phase = 3;
    Send(oscar::BuildSnacFrame(CommandNumber::ActivateList, 0));
    std::int32_t desired = m_session.DesiredStatus();
    if (desired == OnlineStatus::Offline)
        desired = OnlineStatus::Invisible;
    std::uint8_t privacy =
        OnlineStatus::Principal(desired) == OnlineStatus::Invisible ? kPrivacyInvisible : kPrivacyVisible;
    ContactStore& store = m_session.Store();
    std::uint16_t itemId = store.PrivacyItemId();
    if (itemId != 0 && store.PrivacyValue() != privacy) {
        Send(oscar::BuildPrivacyUpdate(itemId, privacy));
        store.SetPrivacyValue(privacy);
        return;
    }
    Finish();
}

void BosHandler::Finish()
{
    // A user who chose offline during sign-on is signed on invisible, as the
    // privacy value chosen above assumes.
    m_session.StartOnlineHandler();
    std::int32_t desired = m_session.DesiredStatus();
    Send(oscar::BuildSetStatus(desired == OnlineStatus::Offline ? OnlineStatus::Invisible : desired));
    Send(oscar::BuildSnacFrame(CommandNumber::ClientReady, 0));
    Send(oscar::BuildAddToClientList(m_session.Store().Uins()));
    Send(oscar::BuildOfflineMessagesRequest(m_session.UinNumber()));
    m_done = true;
    m_session.SignedOn();
}
