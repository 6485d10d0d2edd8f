#include "oscar/OnlineHandler.h"

#include <algorithm>

#include "oscar/FrameEvents.h"
#include "oscar/ListCommands.h"
#include "oscar/SessionEvents.h"
#include "oscar/UserInfo.h"

namespace oscar {

using oscar::CommandNumber;

OnlineHandler::OnlineHandler(AppCore& core, RefPtr<ContactStore> store, RefPtr<Messenger> messenger)
    : m_core(core), m_store(std::move(store)), m_messenger(std::move(messenger))
{
    // A new connection: acknowledgements of the last one's changes never come.
    platform::CriticalSectionLock guard(m_store->Lock());
    m_store->SentChanges().Clear();
}

void OnlineHandler::Refresh() { m_core.Post(MakeRef<AppEvent>(EventType::ViewRefresh)); }

void OnlineHandler::Handle(const RefPtr<AppEvent>& event)
{
    if (event->Type() == EventType::BosFrameSent) {
        if (auto* sent = dynamic_cast<oscar::FrameSentEvent*>(event.Get()); sent != nullptr && m_messenger)
            m_messenger->OnFrameSent(sent->FrameNumber());
        return;
    }
    if (event->Type() != EventType::BosFrameReceived)
        return;
    auto* frameEvent = dynamic_cast<oscar::FrameEvent*>(event.Get());
    if (frameEvent != nullptr && frameEvent->Frame() && frameEvent->Frame()->Snac())
        OnSnac(*frameEvent->Frame()->Snac());
}

void OnlineHandler::OnSnac(const oscar::SnacCommand& snac)
{
    switch (snac.Number()) {
    case CommandNumber::ContactOnline:
        OnPresence(snac);
        break;
    case CommandNumber::ContactOffline:
        OnOffline(snac);
        break;
    case CommandNumber::AuthRequestReceived:
        OnAuthorisationRequest(snac);
        break;
    case CommandNumber::AuthReplyReceived:
        OnAuthorisationReply(snac);
        break;
    case CommandNumber::AddedYouNotice:
        OnAddedYou(snac);
        break;
    case CommandNumber::ListChangeAck:
        OnListAcknowledged(snac);
        break;
    case CommandNumber::IncomingMessage:
        if (m_messenger)
            m_messenger->OnIncomingMessage(snac);
        break;
    case CommandNumber::ServerMessageAck:
        if (m_messenger)
            m_messenger->OnServerAcknowledgement(snac);
        break;
    case CommandNumber::TypingNotification:
        if (m_messenger)
            m_messenger->OnTyping(snac);
        break;
    case CommandNumber::MetaReply:
        if (m_messenger)
            m_messenger->OnMetaReply(snac);
        break;
    default:
        break;
    }
}

void OnlineHandler::OnPresence(const oscar::SnacCommand& snac)
{
    std::optional<oscar::UserInfo> info = oscar::ReadUserInfo(snac.Data()->Bytes());
    if (!info)
        return;
    std::int32_t status = info->Status().value_or(OnlineStatus::Online);
    platform::CriticalSectionLock guard(m_store->Lock());
    bool created = false;
    RefPtr<Contact> contact = m_store->FindOrCreateContact(info->uin, created);
    if (!contact)
        return;
    bool changed = created;
    if (contact->status != status) {
        m_store->SetStatus(contact, status);
        m_store->SetTyping(contact, false);
        changed = true;
    }
    if (std::optional<std::vector<Capability>> capabilities = info->Capabilities()) {
        contact->unicodeCapable =
            std::find(capabilities->begin(), capabilities->end(), kCapabilityUtf8) != capabilities->end();
    }
    if (changed)
        Refresh();
}

void OnlineHandler::OnOffline(const oscar::SnacCommand& snac)
{
    std::optional<oscar::UserInfo> info = oscar::ReadUserInfo(snac.Data()->Bytes());
    if (!info)
        return;
    platform::CriticalSectionLock guard(m_store->Lock());
    bool created = false;
    RefPtr<Contact> contact = m_store->FindOrCreateContact(info->uin, created);
    if (!contact)
        return;
    if (contact->status != OnlineStatus::Offline) {
        m_store->SetStatus(contact, OnlineStatus::Offline);
        m_store->SetTyping(contact, false);
        created = true;
    }
    if (created)
        Refresh();
}

void OnlineHandler::OnAuthorisationRequest(const oscar::SnacCommand& snac)
{
    std::optional<WideString> uin = oscar::ReadLengthPrefixedUin(snac.Data()->Bytes());
    if (!uin)
        return;
    if (RefPtr<Contact> contact = m_store->FindContact(*uin)) {
        m_store->SetAuthorisationRequested(contact, true);
        Refresh();
    }
}

void OnlineHandler::OnAuthorisationReply(const oscar::SnacCommand& snac)
{
    std::span<const std::uint8_t> data = snac.Data()->Bytes();
    std::size_t consumed = 0;
    std::optional<WideString> uin = oscar::ReadLengthPrefixedUin(data, &consumed);
    if (!uin || consumed >= data.size() || data[consumed] != 1)
        return;
    if (RefPtr<Contact> contact = m_store->FindContact(*uin)) {
        contact->notAuthorised = false;
        Refresh();
    }
}

void OnlineHandler::OnAddedYou(const oscar::SnacCommand& snac)
{
    std::optional<WideString> uin = oscar::ReadLengthPrefixedUin(snac.Data()->Bytes());
    if (!uin)
        return;
    bool created = false;
    m_store->FindOrCreateContact(*uin, created);
    if (created)
        Refresh();
}

void OnlineHandler::OnListAcknowledged(const oscar::SnacCommand& snac)
{
    std::vector<std::uint16_t> results;
    if (snac.Data()) {
        oscar::ByteReader reader(snac.Data()->Bytes());
        std::uint16_t result = 0;
        while (reader.ReadU16BE(result))
            results.push_back(result);
    }
    bool changed = false;
    {
        platform::CriticalSectionLock guard(m_store->Lock());
        for (const WideString& uin : m_store->SentChanges().Acknowledged(results)) {
            RefPtr<Contact> contact = m_store->FindContact(uin);
            // Refused once more with the mark: give up rather than loop.
            if (!contact || contact->itemId == 0 || contact->notAuthorised)
                continue;
            contact->notAuthorised = true;
            m_store->SentChanges().Sent({uin});
            Send(oscar::BuildChangesBegin());
            Send(oscar::BuildListItems(CommandNumber::ListAddItem, {oscar::ContactItem(*contact)}));
            Send(oscar::BuildChangesEnd());
            changed = true;
        }
    }
    if (changed)
        Refresh();
}

void OnlineHandler::Send(const RefPtr<oscar::FlapFrame>& frame)
{
    m_core.Post(MakeRef<oscar::SendFrameEvent>(EventType::SendBosFrame, frame));
}

}  // namespace oscar
