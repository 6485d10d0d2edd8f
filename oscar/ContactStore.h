// ContactStore: the contact list of the account, as the server-stored list
// and presence notices shape it. Every operation takes the store's lock; the
// lock is recursive, so callers may hold it across several operations.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "oscar/Contact.h"
#include "oscar/ServerListItem.h"
#include "oscar/ListChanges.h"
#include "oscar/messaging/PendingDeliveries.h"
#include "platform/sync/Sync.h"

// Shared (RefCounted) because the session's threads may outlive the account
// object that created it.
class ContactStore : public virtual RefCounted {
public:
    ContactStore();
    ContactStore(const ContactStore&) = delete;
    ContactStore& operator=(const ContactStore&) = delete;

    CRITICAL_SECTION& Lock() { return m_lock; }

    RefPtr<Contact> FindContact(const WideString& uin);
    // Adds the contact unless one with its UIN exists; returns the one kept.
    RefPtr<Contact> AddContact(const RefPtr<Contact>& contact);
    void RemoveContact(const WideString& uin);
    RefPtr<ContactGroup> FindGroup(std::uint16_t id);
    RefPtr<ContactGroup> AddGroup(std::uint16_t id, const WideString& name);
    void RemoveGroup(std::uint16_t id);

    // Every contact in display order: attention first, online before
    // offline, then display name and UIN by the user's locale.
    std::vector<RefPtr<Contact>> Contacts();
    std::vector<RefPtr<ContactGroup>> Groups();
    // The UINs of every contact, in list order.
    std::vector<WideString> Uins();

    // Changes of the fields the order depends on; each puts the contact back
    // in its sorted place.
    void SetStatus(const RefPtr<Contact>& contact, std::int32_t status);
    void SetAuthorisationRequested(const RefPtr<Contact>& contact, bool requested);
    void SetMark(const RefPtr<Contact>& contact, bool mark, DWORD tick);
    void SetUnread(const RefPtr<Contact>& contact, bool unread);
    void SetTyping(const RefPtr<Contact>& contact, bool typing);
    void SetNickname(const RefPtr<Contact>& contact, const WideString& nickname);
    // The text being sent or not yet confirmed; a non-empty text raises the
    // contact's mark with the current tick count. A different text forgets
    // the cookie the previous one went out with.
    void SetCachedText(const RefPtr<Contact>& contact, const WideString& text);

    // Moves the contact to a group (0 = none).
    void SetGroup(const RefPtr<Contact>& contact, std::uint16_t groupId);

    // The smallest item id from 50 up that no contact uses.
    std::uint16_t NewItemId();

    // The contact, created (no name, no group, not on the list) when the store
    // does not know the UIN. Null for an empty UIN.
    RefPtr<Contact> FindOrCreateContact(const WideString& uin, bool& created);

    // Replaces the model with the list received at sign-on.
    void ApplyServerList(const std::vector<oscar::ServerListItem>& items, std::uint32_t date);

    std::uint32_t ListDate();
    std::uint16_t ListCount();
    void SetListDateAndCount(std::uint32_t date, std::uint16_t count);
    std::uint16_t PrivacyItemId();
    std::uint8_t PrivacyValue();
    void SetPrivacyValue(std::uint8_t value);

    // Sets every contact offline and clears its typing indication; true when
    // any contact changed. A sign-on starts with this: the server announces
    // only the contacts that are online, so a status left from the last
    // session would otherwise stay for ever.
    bool SetAllOffline();

    // Clears the marks raised more than five minutes before `now`; true when
    // it cleared any.
    bool ExpireMarks(DWORD now);

    // The user's messages waiting for confirmation; use under Lock().
    oscar::PendingDeliveries& Pending() { return m_pending; }
    // The list changes waiting for the server's acknowledgement; use under Lock().
    oscar::ListChanges& SentChanges() { return m_sentChanges; }

protected:
    ~ContactStore() override;

private:
    void PutInGroup(const RefPtr<Contact>& contact, std::uint16_t groupId);
    // Takes the contact out of the ordered list, applies the change and puts
    // it back in its place.
    template <typename Change>
    void Reposition(const RefPtr<Contact>& contact, Change change);
    void InsertSorted(const RefPtr<Contact>& contact);

    CRITICAL_SECTION m_lock;
    std::vector<RefPtr<Contact>> m_contacts;
    std::unordered_map<WideString, RefPtr<Contact>> m_byUin;
    std::vector<RefPtr<ContactGroup>> m_groups;
    std::uint16_t m_privacyItemId = 0;
    std::uint8_t m_privacyValue = 0;
    std::uint32_t m_listDate = 0;
    std::uint16_t m_listCount = 0;
    oscar::PendingDeliveries m_pending;
    oscar::ListChanges m_sentChanges;
};
