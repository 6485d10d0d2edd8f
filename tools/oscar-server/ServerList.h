// ServerList: one account's server-stored list (family 0x13 items).
//
// An item is identified by its group id and item id together: a group has
// item id 0, the master group is group 0 / item 0, and contacts, permit and
// deny entries and the privacy item carry their own item ids. Item data are
// kept as the client sent them (a run of TLVs) and handed back unchanged.
// The date is the list's modification time (seconds since 1970) and grows on
// every change, so a client that holds the current date and count may skip
// the download.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/oscar-server/Wire.h"

namespace oscarserver {

enum ItemType : std::uint16_t {
    kItemContact = 0,
    kItemGroup = 1,
    kItemPermit = 2,
    kItemDeny = 3,
    kItemPrivacy = 4,
};

// Privacy item 0x00CA values.
enum PrivacyMode : std::uint8_t {
    kPrivacyAllowAll = 1,
    kPrivacyBlockAll = 2,
    kPrivacyAllowPermitList = 3,
    kPrivacyBlockDenyList = 4,
    kPrivacyAllowContacts = 5,
};

struct ListItem {
    std::string name;
    std::uint16_t groupId = 0;
    std::uint16_t itemId = 0;
    std::uint16_t type = 0;
    Bytes data;
};

// Largest number of items one list may hold; adds past it are refused.
constexpr std::size_t kMaxListItems = 2000;

class ServerList {
public:
    std::uint32_t date = 0;
    std::vector<ListItem> items;

    // A fresh account's list: master group, group "General" (id 1), a
    // privacy item allowing everyone and, unless the owner is the echo
    // account itself, the echo account as a contact.
    static ServerList Initial(std::uint32_t owner, std::uint32_t now);

    ListItem* Find(std::uint16_t groupId, std::uint16_t itemId);
    const ListItem* Find(std::uint16_t groupId, std::uint16_t itemId) const;
    // Whether an item of the type names the UIN (contacts, permit, deny).
    bool Names(std::uint16_t type, std::uint32_t uin) const;
    // 0x00CA of the privacy item; "allow all" when there is none.
    std::uint8_t Privacy() const;
    std::uint16_t Count() const { return static_cast<std::uint16_t>(items.size()); }
    // Moves the date on to now, or one second past the old date when the
    // clock has not moved, so that every change gives a new date.
    void Touch(std::uint32_t now);

    // 0x13/0x06 bodies: version 0, item count, items, date. Items are spread
    // over as many parts as needed to keep each below maxPartBytes.
    std::vector<Bytes> EncodeParts(std::size_t maxPartBytes) const;

    static void EncodeItem(Writer& writer, const ListItem& item);
    // One item in wire form; false when it runs past the end.
    static bool DecodeItem(Reader& reader, ListItem& item);
};

}  // namespace oscarserver
