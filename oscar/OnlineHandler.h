// OnlineHandler: the worker-stage handler that serves the signed-on session:
// presence notices and the server-stored list's authorisation notices. It is
// registered when the session goes online (event 34) and removed when it
// goes offline (event 38).
#pragma once

#include "app/AppCore.h"
#include "app/AppEvent.h"
#include "oscar/ContactStore.h"
#include "oscar/codec/SnacCommand.h"

class OnlineHandler : public EventHandler {
public:
    OnlineHandler(AppCore& core, RefPtr<ContactStore> store);

    void Handle(const RefPtr<AppEvent>& event) override;

    // 0x03/0x0B: a contact's presence; 0x03/0x0C: a contact went offline.
    void OnPresence(const oscar::SnacCommand& snac);
    void OnOffline(const oscar::SnacCommand& snac);
    // 0x13/0x19, 0x13/0x1B, 0x13/0x1C.
    void OnAuthorisationRequest(const oscar::SnacCommand& snac);
    void OnAuthorisationReply(const oscar::SnacCommand& snac);
    void OnAddedYou(const oscar::SnacCommand& snac);

protected:
    ~OnlineHandler() override = default;

private:
    void Refresh();

    AppCore& m_core;
    RefPtr<ContactStore> m_store;
};
