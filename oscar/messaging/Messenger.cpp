#include "oscar/messaging/Messenger.h"

#include "app/AppGlobals.h"
#include "oscar/SessionEvents.h"
#include "oscar/UserInfo.h"
#include "oscar/codec/ByteReader.h"
#include "oscar/messaging/IncomingDecoding.h"
#include "oscar/messaging/OfflineMessages.h"
#include "platform/base/Clock.h"
#include "platform/sync/DetachedThread.h"
#include "platform/sync/Sync.h"

namespace {

// What a watch thread needs; it holds the core and the store so that both
// outlive it.
struct Watch {
    RefPtr<AppCore> core;
    RefPtr<ContactStore> store;
    bool byCookie = false;
    std::uint64_t key = 0;
    std::uint64_t serial = 0;
    DWORD delay = 0;
};

void RunWatch(const Watch& watch)
{
    Sleep(watch.delay);
    ContactStore& store = *watch.store;
    std::optional<WideString> uin;
    {
        platform::CriticalSectionLock guard(store.Lock());
        uin = watch.byCookie ? store.Pending().TakeCookieIf(watch.key, watch.serial)
                             : store.Pending().TakeFrameIf(static_cast<std::uint32_t>(watch.key), watch.serial);
        if (uin) {
            if (RefPtr<Contact> contact = store.FindContact(*uin))
                contact->sending = false;
        }
    }
    if (uin) {
        watch.core->Post(MakeRef<oscar::DeliveryEvent>(EventType::OwnMessageNotConfirmed, *uin, WideString()));
        watch.core->Post(MakeRef<AppEvent>(EventType::ViewRefresh));
    }
}

}  // namespace

Messenger::Messenger(AppCore& core, RefPtr<ContactStore> store, WideString ownUin, std::uint32_t ownUinNumber)
    : m_core(core), m_store(std::move(store)), m_ownUin(std::move(ownUin)), m_ownUinNumber(ownUinNumber)
{
}

void Messenger::SetOutlets(Outlets outlets) { m_outlets = std::move(outlets); }

UINT Messenger::CodePage() const { return static_cast<UINT>(app::ProcessCodePage()); }

void Messenger::Send(const RefPtr<oscar::FlapFrame>& frame)
{
    m_core.Post(MakeRef<oscar::SendFrameEvent>(EventType::SendBosFrame, frame));
}

std::optional<oscar::OutgoingText> Messenger::Encode(const Contact& contact, const WideString& text) const
{
    oscar::TextEncoding preferred = contact.unicodeCapable && contact.status != OnlineStatus::Offline
                                        ? oscar::TextEncoding::Unicode
                                        : oscar::TextEncoding::EightBit;
    return oscar::EncodeOutgoingText(text, preferred, CodePage());
}

oscar::SendResult Messenger::SendMessage(const WideString& uin)
{
    bool sendingAck = m_core.GetSettings()->sendingAck;
    platform::CriticalSectionLock guard(m_store->Lock());
    RefPtr<Contact> contact = m_store->FindContact(uin);
    if (!contact || contact->cachedText.empty())
        return oscar::SendResult::NothingToSend;
    if (contact->sending)
        return oscar::SendResult::Busy;
    std::optional<oscar::OutgoingText> text = Encode(*contact, contact->cachedText);
    if (!text)
        return oscar::SendResult::TooLong;
    oscar::Confirmation confirmation = sendingAck || contact->status == OnlineStatus::Offline
                                           ? oscar::Confirmation::Acknowledged
                                           : oscar::Confirmation::FrameSent;
    if (!contact->cachedTextCookie)
        contact->cachedTextCookie = oscar::NewMessageCookie();
    std::uint64_t cookie = *contact->cachedTextCookie;
    RefPtr<oscar::FlapFrame> frame = oscar::BuildSendMessage(cookie, uin, *text, confirmation);
    if (!frame)
        return oscar::SendResult::BadRecipient;
    contact->sending = true;
    if (confirmation == oscar::Confirmation::Acknowledged) {
        std::uint64_t serial = m_store->Pending().AddByCookie(cookie, uin);
        StartWatch(true, cookie, serial, kAcknowledgedTimeout);
    } else {
        std::uint64_t serial = m_store->Pending().AddByFrame(frame->FrameNumber(), uin);
        StartWatch(false, frame->FrameNumber(), serial, kFrameTimeout);
    }
    Send(frame);
    return oscar::SendResult::Sent;
}

void Messenger::StartWatch(bool byCookie, std::uint64_t key, std::uint64_t serial, DWORD delay)
{
    Watch watch{RefPtr<AppCore>(&m_core), m_store, byCookie, key, serial, delay};
    platform::StartDetachedThread([watch] { RunWatch(watch); });
}

bool Messenger::SendTyping(const WideString& uin, oscar::TypingState state)
{
    RefPtr<Contact> contact = m_store->FindContact(uin);
    if (!contact || contact->status == OnlineStatus::Offline)
        return false;
    Send(oscar::BuildTypingNotification(uin, state));
    return true;
}

void Messenger::Confirm(const WideString& uin)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    WideString text;
    {
        platform::CriticalSectionLock guard(m_store->Lock());
        RefPtr<Contact> contact = m_store->FindContact(uin);
        if (!contact)
            return;
        text = contact->cachedText;
        if (m_outlets.appendHistory)
            m_outlets.appendHistory(uin, true, now, text);
        m_store->SetCachedText(contact, WideString());
        contact->sending = false;
    }
    // The cache still holds the text as unsent; it must not come back after
    // a restart.
    if (m_outlets.modelChanged)
        m_outlets.modelChanged();
    m_core.Post(MakeRef<oscar::DeliveryEvent>(EventType::OwnMessageDelivered, uin, text));
}

void Messenger::OnServerAcknowledgement(const oscar::SnacCommand& snac)
{
    oscar::ByteReader reader(snac.Data()->Bytes());
    std::uint32_t high = 0;
    std::uint32_t low = 0;
    if (!reader.ReadU32BE(high) || !reader.ReadU32BE(low))
        return;
    std::uint64_t cookie = static_cast<std::uint64_t>(high) << 32 | low;
    std::optional<WideString> uin;
    {
        platform::CriticalSectionLock guard(m_store->Lock());
        uin = m_store->Pending().TakeCookie(cookie);
        // An acknowledgement after the time-out still proves delivery: the
        // text must not be offered for sending again.
        if (!uin) {
            if (RefPtr<Contact> contact = UnsentTextWithCookie(cookie))
                uin = contact->uin;
        }
    }
    if (uin)
        Confirm(*uin);
}

RefPtr<Contact> Messenger::UnsentTextWithCookie(std::uint64_t cookie)
{
    for (const RefPtr<Contact>& contact : m_store->Contacts()) {
        if (contact->cachedTextCookie == cookie && !contact->sending && !contact->cachedText.empty())
            return contact;
    }
    return nullptr;
}

void Messenger::OnFrameSent(std::uint32_t frameNumber)
{
    std::optional<WideString> uin;
    {
        platform::CriticalSectionLock guard(m_store->Lock());
        uin = m_store->Pending().TakeFrame(frameNumber);
    }
    if (uin)
        Confirm(*uin);
}

void Messenger::OnIncomingMessage(const oscar::SnacCommand& snac)
{
    std::optional<oscar::DecodedMessage> decoded = oscar::DecodeIncomingMessage(snac.Data()->Bytes(), CodePage());
    if (!decoded)
        return;
    if (decoded->reply)
        Send(oscar::BuildChannelTwoReply(*decoded->reply));
    // A sender that missed the acknowledgement sends the message again with
    // its cookie: answered above, shown only once.
    const oscar::IncomingMessage& message = *decoded->message;
    if (message.cookie != 0 && !m_recentCookies.Remember(message.sender, message.cookie))
        return;
    Deliver(decoded->message);
}

void Messenger::Deliver(const RefPtr<oscar::IncomingMessage>& message)
{
    if (!message || message->sender == m_ownUin || message->kind != 1)
        return;
    {
        platform::CriticalSectionLock guard(m_store->Lock());
        bool created = false;
        RefPtr<Contact> contact = m_store->FindOrCreateContact(message->sender, created);
        if (!contact)
            return;
        if (message->hasStatus && contact->status != message->status)
            m_store->SetStatus(contact, message->status);
        m_store->SetUnread(contact, true);
        m_store->SetMark(contact, true, GetTickCount());
        if (m_outlets.appendHistory)
            m_outlets.appendHistory(message->sender, false, message->time, message->text);
    }
    if (m_outlets.notifyIncoming)
        m_outlets.notifyIncoming();
    m_core.Post(MakeRef<oscar::IncomingMessageEvent>(message));
    m_core.Post(MakeRef<AppEvent>(EventType::ViewRefresh));
}

void Messenger::OnTyping(const oscar::SnacCommand& snac)
{
    oscar::ByteReader reader(snac.Data()->Bytes());
    std::uint16_t channel = 0;
    if (!reader.Skip(8) || !reader.ReadU16BE(channel))
        return;
    std::size_t consumed = 0;
    std::optional<WideString> uin = oscar::ReadLengthPrefixedUin(reader.Rest(), &consumed);
    std::uint16_t type = 0;
    if (!uin || !reader.Skip(consumed) || !reader.ReadU16BE(type))
        return;
    RefPtr<Contact> contact = m_store->FindContact(*uin);
    if (!contact)
        return;
    m_store->SetTyping(contact, type == static_cast<std::uint16_t>(oscar::TypingState::Started));
    m_core.Post(MakeRef<oscar::TypingEvent>(*uin, type));
    m_core.Post(MakeRef<AppEvent>(EventType::ViewRefresh));
}

void Messenger::OnMetaReply(const oscar::SnacCommand& snac)
{
    std::optional<std::uint16_t> type = oscar::MetaReplyType(snac.Data()->Bytes());
    if (!type)
        return;
    if (*type == oscar::kMetaOfflineMessage) {
        Deliver(oscar::DecodeOfflineMessage(snac.Data()->Bytes(), CodePage()));
    } else if (*type == oscar::kMetaOfflineEnd) {
        Send(oscar::BuildDeleteOfflineMessages(m_ownUinNumber));
    }
}
