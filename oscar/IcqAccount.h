// IcqAccount: the account object of one ICQ account. It owns the contact
// store and the OscarSession and is held by AppCore as its current session.
#pragma once

#include <functional>

#include "app/Account.h"
#include "app/AppCore.h"
#include "oscar/ContactStore.h"
#include "oscar/OscarSession.h"
#include "oscar/messaging/Messenger.h"

class IcqAccount : public Account {
public:
    // Creates the store and the session for the UIN with the password of the
    // current settings. The session stays offline until a status is chosen.
    IcqAccount(AppCore& core, const WideString& uin);

    // Fills the contact list from the account's cache file, so that the
    // sign-on list request carries the cached list date and count.
    void LoadCache() override;

    // Tells the session to quit; its threads end on their own.
    void Shutdown() override;

    // Hands the contact model to the cache file. Called after every change
    // of the list.
    void SaveCache();

    // The file that keeps the contact list between runs. Its operations live
    // in a layer above this one, so the entry hands them to each new account;
    // an account without them keeps no cache.
    struct CacheFile {
        std::function<bool(ContactStore& store, const WideString& ownerUin)> save;
        std::function<bool(ContactStore& store, const WideString& ownerUin)> load;
    };
    // Set before LoadCache, right after construction.
    void SetCacheFile(CacheFile cacheFile) { m_cacheFile = std::move(cacheFile); }

    // Changes of the server-stored list and authorisation (commands of the
    // contact menu and the information window). Each returns false, changing
    // nothing, when it cannot be done: not signed on (where the server is
    // involved), an unknown contact, an unknown group, an empty UIN.
    bool AddContact(const WideString& uin, const WideString& nickname, std::uint16_t groupId,
                    bool noAuthorisationNeeded);
    bool MoveContact(const WideString& uin, std::uint16_t groupId);
    bool AddToList(const WideString& uin);
    bool DeleteContact(const WideString& uin);
    bool RenameContact(const WideString& uin, const WideString& nickname, bool noAuthorisationNeeded);
    bool RequestAuthorisation(const WideString& uin, const WideString& reason);
    bool GrantAuthorisation(const WideString& uin);

    // Sends the text to the contact: it becomes the contact's cached text
    // until the delivery is confirmed. An unknown UIN becomes a contact.
    // Nothing is sent for an empty text, a UIN that is not 1 to 12 digits,
    // while an earlier message to the contact waits for its confirmation and
    // for a text too long for one message (in these cases the text is not
    // taken), and when not signed on, in which case the text is kept as the
    // cached text (and in the contact-list cache) so that ResendMessage can
    // send it later.
    oscar::SendResult SendMessage(const WideString& uin, const WideString& text);
    // Sends the contact's cached text again (a message that was not sent or
    // not confirmed) with the cookie of its first try. Refused when not
    // signed on, when there is no such text (a delivered text is gone), and
    // while it is already on its way.
    oscar::SendResult ResendMessage(const WideString& uin);
    // Drops the contact's cached text. False when there was none.
    bool DiscardUnsentText(const WideString& uin);
    bool SendTyping(const WideString& uin, oscar::TypingState state);

    const WideString& Uin() const { return m_uin; }
    ContactStore& Store() { return *m_store; }
    const RefPtr<OscarSession>& Session() const { return m_session; }
    const RefPtr<Messenger>& Messaging() const { return m_messenger; }

    // The account AppCore holds, or null.
    static RefPtr<IcqAccount> Current(AppCore& core);

protected:
    ~IcqAccount() override;

private:
    void Send(const RefPtr<oscar::FlapFrame>& frame);
    void SendListItems(oscar::CommandNumber command, const std::vector<oscar::ServerListItem>& items,
                       std::vector<WideString> addedContacts = {});
    void Changed();

    AppCore& m_core;
    WideString m_uin;
    RefPtr<ContactStore> m_store = MakeRef<ContactStore>();
    CacheFile m_cacheFile;
    RefPtr<Messenger> m_messenger;
    RefPtr<OscarSession> m_session;
};
