// OnlineHandler: the worker-stage handler that serves the signed-on session:
// presence notices, the server-stored list's authorisation notices, and
// messaging (incoming messages, acknowledgements, typing, offline messages,
// frames sent). The session registers it at the end of sign-on, before the
// commands that make the server start sending these, and removes it when the
// BOS connection ends.
#pragma once

#include "app/AppCore.h"
#include "app/AppEvent.h"
#include "oscar/ContactStore.h"
#include "oscar/codec/SnacCommand.h"
#include "oscar/messaging/Messenger.h"

namespace oscar {

class OnlineHandler : public EventHandler {
public:
    OnlineHandler(AppCore& core, RefPtr<ContactStore> store, RefPtr<Messenger> messenger);

    void Handle(const RefPtr<AppEvent>& event) override;

    // 0x03/0x0B: a contact's presence; 0x03/0x0C: a contact went offline.
    void OnPresence(const oscar::SnacCommand& snac);
    void OnOffline(const oscar::SnacCommand& snac);
    // 0x13/0x19, 0x13/0x1B, 0x13/0x1C.
    void OnAuthorisationRequest(const oscar::SnacCommand& snac);
    void OnAuthorisationReply(const oscar::SnacCommand& snac);
    void OnAddedYou(const oscar::SnacCommand& snac);
    // 0x13/0x0E: the results of one of the account's list changes. An add the
    // server refused because the contact requires authorisation is sent again
    // with the awaiting-authorisation mark, so that the contact is not lost
    // from the server-stored list (a move deletes it before adding it anew).
    void OnListAcknowledged(const oscar::SnacCommand& snac);

protected:
    ~OnlineHandler() override = default;

private:
    void Refresh();
    void Send(const RefPtr<oscar::FlapFrame>& frame);

    void OnSnac(const oscar::SnacCommand& snac);

    AppCore& m_core;
    RefPtr<ContactStore> m_store;
    RefPtr<Messenger> m_messenger;
};

}  // namespace oscar
