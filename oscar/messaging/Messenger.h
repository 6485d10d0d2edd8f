// Messenger: the account's messaging. Sends the user's messages and typing
// notices, confirms deliveries (server acknowledgement or frame sent) with
// watch threads for the time-outs, and delivers incoming and offline
// messages into the contact store, the history and the notification.
#pragma once

#include <functional>

#include "app/AppCore.h"
#include "oscar/ContactStore.h"
#include "oscar/codec/FlapFrame.h"
#include "oscar/codec/SnacCommand.h"
#include "oscar/messaging/MessageEvents.h"

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
    // False (nothing sent) for an unknown contact or an empty text.
    bool SendMessage(const WideString& uin);
    // Sends a typing notice (only to a contact that is not offline).
    bool SendTyping(const WideString& uin, bool started);

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
    void StartWatch(bool byCookie, std::uint64_t key, std::uint64_t serial, DWORD delay);
    void Send(const RefPtr<oscar::FlapFrame>& frame);
    UINT CodePage() const;

    AppCore& m_core;
    RefPtr<ContactStore> m_store;
    WideString m_ownUin;
    std::uint32_t m_ownUinNumber;
    Outlets m_outlets;
};
