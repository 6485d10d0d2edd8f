// Contact and ContactGroup: the entries of the contact list. Both are owned by
// the ContactStore and changed only under its lock.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/RefCounted.h"
#include "oscar/OnlineStatus.h"
#include "platform/base/Types.h"

class Contact : public virtual RefCounted {
public:
    explicit Contact(WideString contactUin) : uin(std::move(contactUin)) {}

    WideString uin;
    WideString nickname;
    std::uint16_t itemId = 0;   // 0 when not on the server-stored list
    std::uint16_t groupId = 0;  // 0 = no group
    std::int32_t status = OnlineStatus::Offline;
    bool unicodeCapable = false;
    bool authorisationRequested = false;
    bool mark = false;
    DWORD markTick = 0;
    bool unread = false;
    WideString cachedText;
    // The cookie the cached text went out with, kept so that sending it
    // again lets the recipient recognise a repeat; none before the first try.
    std::optional<std::uint64_t> cachedTextCookie;
    bool sending = false;
    bool notAuthorised = false;
    bool typing = false;

protected:
    ~Contact() override = default;
};

class ContactGroup : public virtual RefCounted {
public:
    ContactGroup(std::uint16_t groupId, WideString groupName) : id(groupId), name(std::move(groupName)) {}

    std::uint16_t id;  // never 0
    WideString name;
    std::vector<RefPtr<Contact>> contacts;

protected:
    ~ContactGroup() override = default;
};
