#include "oscar/meta/DirectoryQuery.h"

#include <cstdlib>

#include "app/AppGlobals.h"
#include "oscar/FrameEvents.h"
#include "oscar/IcqAccount.h"
#include "oscar/SessionEvents.h"
#include "oscar/meta/DirectoryReplies.h"

namespace oscar {
namespace {

constexpr std::uint16_t kSnacFlagMoreReplies = 0x0001;
// The device's rand() gives 15 bits.
constexpr unsigned kRandBits = 0x7FFF;

}  // namespace

std::uint32_t NewDirectoryCookie()
{
    std::uint32_t cookie = 0;
    while (cookie == 0) {
        std::uint32_t high = static_cast<std::uint32_t>(std::rand()) & kRandBits;
        std::uint32_t low = static_cast<std::uint32_t>(std::rand()) & kRandBits;
        cookie = high * 65536u + low;
    }
    return cookie;
}

std::uint32_t DirectoryQuery::SignedOnUin() const
{
    RefPtr<IcqAccount> account = IcqAccount::Current(m_core);
    if (!account || !account->Session() || !account->Session()->IsOnline())
        return 0;
    return account->Session()->UinNumber();
}

bool DirectoryQuery::RequestInformation(std::uint32_t uin)
{
    if (uin == 0)
        return false;
    return StartRequest(Mode::Information, [uin](std::uint32_t cookie, std::uint32_t own, std::uint16_t sequence) {
        return BuildFullInfoRequest(cookie, own, sequence, uin);
    });
}

bool DirectoryQuery::SearchByUin(std::uint32_t uin)
{
    if (uin == 0)
        return false;
    return StartRequest(Mode::Search, [uin](std::uint32_t cookie, std::uint32_t own, std::uint16_t sequence) {
        return BuildSearchByUinRequest(cookie, own, sequence, uin);
    });
}

bool DirectoryQuery::SearchByDetails(const SearchCriteria& criteria)
{
    UINT codePage = static_cast<UINT>(app::ProcessCodePage());
    return StartRequest(Mode::Search, [&](std::uint32_t cookie, std::uint32_t own, std::uint16_t sequence) {
        return BuildSearchByDetailsRequest(cookie, own, sequence, criteria, codePage);
    });
}

bool DirectoryQuery::StartRequest(Mode mode, const RequestBuilder& build)
{
    std::uint32_t own = SignedOnUin();
    if (own == 0 || mode == Mode::None)
        return false;
    std::uint32_t cookie = NewDirectoryCookie();
    RefPtr<FlapFrame> frame = build(cookie, own, NextMetaSequence());
    if (!frame)
        return false;
    platform::CriticalSectionLock guard(m_lock);
    m_mode = mode;
    m_cookie = cookie;
    m_waiting = true;
    m_posted = 0;
    // Registered before the request goes out, so that no answer is missed.
    if (!m_registered) {
        m_core.AddHandler(RefPtr<EventHandler>(this));
        m_registered = true;
    }
    m_core.Post(MakeRef<SendFrameEvent>(EventType::SendBosFrame, frame));
    return true;
}

void DirectoryQuery::Cancel()
{
    platform::CriticalSectionLock guard(m_lock);
    Finish();
}

void DirectoryQuery::Finish()
{
    m_waiting = false;
    if (m_registered) {
        m_registered = false;
        m_core.RemoveHandler(this);
    }
}

DirectoryQuery::Mode DirectoryQuery::CurrentMode() const
{
    platform::CriticalSectionLock guard(m_lock);
    return m_mode;
}

std::uint32_t DirectoryQuery::Cookie() const
{
    platform::CriticalSectionLock guard(m_lock);
    return m_cookie;
}

bool DirectoryQuery::IsWaiting() const
{
    platform::CriticalSectionLock guard(m_lock);
    return m_waiting;
}

int DirectoryQuery::PostedCount() const
{
    platform::CriticalSectionLock guard(m_lock);
    return m_posted;
}

bool DirectoryQuery::Answers(const AppEvent& event) const
{
    std::optional<std::uint32_t> id = DirectoryRequestId(event);
    platform::CriticalSectionLock guard(m_lock);
    return id && m_cookie != 0 && *id == m_cookie;
}

void DirectoryQuery::Handle(const RefPtr<AppEvent>& event)
{
    if (event->Type() != EventType::BosFrameReceived)
        return;
    const auto* received = dynamic_cast<const FrameEvent*>(event.Get());
    if (received == nullptr || !received->Frame() || !received->Frame()->Snac())
        return;
    const SnacCommand& snac = *received->Frame()->Snac();
    if (snac.Number() != CommandNumber::MetaReply && snac.Number() != CommandNumber::IcqError)
        return;
    platform::CriticalSectionLock guard(m_lock);
    if (!m_waiting || snac.RequestId() != m_cookie)
        return;
    if (snac.Number() == CommandNumber::IcqError) {
        Post(MakeRef<DirectoryErrorEvent>(m_cookie, snac.Family(), snac.Subtype(), ErrorSnacText(snac.Data()->Bytes())));
        Finish();
        return;
    }
    OnReply(snac);
}

void DirectoryQuery::Post(const RefPtr<AppEvent>& event)
{
    ++m_posted;
    m_core.Post(event);
}

// Called with the lock held, for a meta reply carrying the cookie.
void DirectoryQuery::OnReply(const SnacCommand& snac)
{
    const auto* reply = dynamic_cast<const MetaReply*>(&snac);
    bool directory = reply != nullptr && reply->Header() && reply->Header()->type == kMetaReplyDirectory;
    if (m_mode == Mode::Information) {
        if (directory) {
            if (const auto* basic = dynamic_cast<const BasicInfoReply*>(reply))
                Post(MakeRef<UserInfoBasicEvent>(m_cookie, basic->Success(), basic->Info()));
            else if (const auto* more = dynamic_cast<const MoreInfoReply*>(reply))
                Post(MakeRef<UserInfoMoreEvent>(m_cookie, more->Success(), more->Info()));
            else if (const auto* notes = dynamic_cast<const NotesReply*>(reply))
                Post(MakeRef<UserInfoNotesEvent>(m_cookie, notes->Success(), notes->Notes()));
        }
        // The server marks every reply of a run but the last.
        if ((snac.Flags() & kSnacFlagMoreReplies) == 0)
            Finish();
        return;
    }
    const auto* result = directory ? dynamic_cast<const SearchResultReply*>(reply) : nullptr;
    if (m_mode != Mode::Search || result == nullptr)
        return;
    Post(MakeRef<SearchHitEvent>(m_cookie, result->Success(), result->IsLast(), result->Hit()));
    if (result->IsLast())
        Finish();
}

}  // namespace oscar
