// Messenger: the account's messaging. Sends the user's messages and typing
// notices, confirms deliveries (server acknowledgement or frame sent) with
// watch threads for the time-outs, and delivers incoming and offline
// messages into the contact store, the history and the notification.
#pragma once

#include <functional>
#include <optional>

#include "app/AppCore.h"
#include "oscar/ContactStore.h"
#include "oscar/codec/FlapFrame.h"
#include "oscar/codec/SnacCommand.h"
#include "oscar/messaging/MessageCommands.h"
#include "oscar/messaging/MessageEvents.h"
#include "oscar/messaging/OutgoingText.h"
#include "oscar/messaging/RecentCookies.h"
#include "oscar/messaging/SendResult.h"

class Messenger : public virtual RefCounted {
public:
    // Where delivered messages go besides the store: the conversation's
    // history (sentByUser, local time, text) and the new-message notice.
    struct Outlets {
        std::function<void(const WideString& uin, bool sentByUser, const SYSTEMTIME& time, const WideString& text)>
            appendHistory;
        std::function<void()> notifyIncoming;
        // The contact model changed in a way the cache keeps (a confirmed
        // message emptied a contact's unsent text).
        std::function<void()> modelChanged;
    };

    Messenger(AppCore& core, RefPtr<ContactStore> store, WideString ownUin, std::uint32_t ownUinNumber);

    void SetOutlets(Outlets outlets);

    // Sends the contact's cached text. The chat window sets the text first.
    // A text sent again keeps the cookie of its first try.
    oscar::SendResult SendMessage(const WideString& uin);
    // The text in the form it would go to the contact now; nullopt when it
    // does not fit in one message.
    std::optional<oscar::OutgoingText> Encode(const Contact& contact, const WideString& text) const;
    // Sends a typing notice (only to a contact that is not offline).
    bool SendTyping(const WideString& uin, oscar::TypingState state);

    // Worker stage, while signed on.
    void OnIncomingMessage(const oscar::SnacCommand& snac);
    void OnServerAcknowledgement(const oscar::SnacCommand& snac);
    void OnFrameSent(std::uint32_t frameNumber);
    void OnTyping(const oscar::SnacCommand& snac);
    void OnMetaReply(const oscar::SnacCommand& snac);

    // Delivers a decoded message (live or offline) to the store.
    void Deliver(const RefPtr<oscar::IncomingMessage>& message);

    // Time-outs of the two confirmation modes.
    static constexpr DWORD kAcknowledgedTimeout = 15000;
    static constexpr DWORD kFrameTimeout = 5000;

protected:
    ~Messenger() override = default;

private:
    void Confirm(const WideString& uin);
    // The contact whose unsent text went out with the cookie, when no
    // message to it is on its way.
    RefPtr<Contact> UnsentTextWithCookie(std::uint64_t cookie);
    void StartWatch(bool byCookie, std::uint64_t key, std::uint64_t serial, DWORD delay);
    void Send(const RefPtr<oscar::FlapFrame>& frame);
    UINT CodePage() const;

    AppCore& m_core;
    RefPtr<ContactStore> m_store;
    WideString m_ownUin;
    std::uint32_t m_ownUinNumber;
    Outlets m_outlets;
    oscar::RecentCookies m_recentCookies;
};
