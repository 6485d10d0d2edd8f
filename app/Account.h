// The account object as the application core sees it: one per configured ICQ
// account, held by AppCore as its current session. The protocol subsystem
// implements it (it owns the contact store, the OSCAR session, the histories
// and the smiley set).
#pragma once

#include "app/RefCounted.h"

class Account : public virtual RefCounted {
public:
    // Fills the contact list from the account's cache file.
    virtual void LoadCache() = 0;

    // Stops the session; its threads end on their own afterwards.
    virtual void Shutdown() = 0;

    // The smiley set of the account's contacts, kept for the account's
    // lifetime. Its type belongs to the skin subsystem, which makes it on
    // the first request and offers typed access (skin/smiley/AccountSmilies.h).
    const RefPtr<RefCounted>& SmileySetObject() const { return m_smileySet; }
    void SetSmileySetObject(RefPtr<RefCounted> set) { m_smileySet = std::move(set); }

protected:
    ~Account() override = default;

private:
    RefPtr<RefCounted> m_smileySet;
};
