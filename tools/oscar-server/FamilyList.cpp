// Family 0x0013 (server-stored list): rights, the list itself, changes and
// the authorisation exchange between users.
//
// 0x13/0x05 carries the client's list date and count: when both match the
// stored list the answer is 0x13/0x0F (date, count), otherwise the list as
// 0x13/0x06 parts (flags bit 0 set on every part but the last). Changes
// (0x08 add, 0x09 update, 0x0A delete) carry one or more items and are
// answered with 0x13/0x0E holding one 16-bit result per item: 0 done,
// 2 not found, 3 already there, 0x0A invalid, 0x0C limit reached, 0x0E the
// contact requires authorisation (added without item 0x0066). Clients bracket
// changes with 0x11 and 0x12; the server saves after every change.
#include <algorithm>

#include "tools/oscar-server/Presence.h"

namespace oscarserver {
namespace {

enum ListResult : std::uint16_t {
    kResultDone = 0x0000,
    kResultNotFound = 0x0002,
    kResultExists = 0x0003,
    kResultInvalid = 0x000A,
    kResultLimit = 0x000C,
    kResultNeedsAuthorisation = 0x000E,
};

constexpr std::size_t kMaxContacts = 1000;

void OnRights(Server& server, Connection& connection, const Snac& snac)
{
    // Largest number of items per item type 0x00..0x14.
    static constexpr std::uint16_t kLimits[] = {1000, 100, 1000, 1000, 1, 1, 50, 50, 1, 1, 1, 1,
                                                1,    1,   50,   1,    1, 1, 1,  1,  1};
    Writer limits;
    for (std::uint16_t limit : kLimits)
        limits.U16(limit);
    const Bytes body = Writer().TlvU16(0x0002, 0x00FE).TlvU16(0x0003, 0x01FC).Tlv(0x0004, limits.Data()).Take();
    server.SendSnac(connection, 0x0013, 0x0003, 0, snac.requestId, body);
}

void SendList(Server& server, Connection& connection, std::uint32_t requestId)
{
    const std::vector<Bytes> parts = server.ListOf(connection.uin).EncodeParts(server.ListPartBytes());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::uint16_t flags = i + 1 < parts.size() ? 0x0001 : 0x0000;
        server.SendSnac(connection, 0x0013, 0x0006, flags, requestId, parts[i]);
    }
}

void OnListRequest(Server& server, Connection& connection, const Snac& snac)
{
    SendList(server, connection, snac.requestId);
}

void OnListCheck(Server& server, Connection& connection, const Snac& snac)
{
    Reader reader(snac.data);
    std::uint32_t date = 0;
    std::uint16_t count = 0;
    if (!reader.U32(date) || !reader.U16(count)) {
        server.SendError(connection, 0x0013, snac.requestId, 0x000E);
        return;
    }
    const ServerList& list = server.ListOf(connection.uin);
    if (date != list.date || count != list.Count()) {
        SendList(server, connection, snac.requestId);
        return;
    }
    const Bytes body = Writer().U32(list.date).U16(list.Count()).Take();
    server.SendSnac(connection, 0x0013, 0x000F, 0, snac.requestId, body);
}

bool HasItem(const ListItem& item, std::uint16_t type)
{
    Reader reader(item.data);
    std::vector<Tlv> items;
    ReadTlvs(reader, items);
    return FindTlv(items, type) != nullptr;
}

std::uint16_t CheckNewItem(Server& server, const ServerList& list, const ListItem& item)
{
    if (list.items.size() >= kMaxListItems)
        return kResultLimit;
    if (list.Find(item.groupId, item.itemId) != nullptr)
        return kResultExists;
    std::uint32_t uin = 0;
    const bool namesUser = item.type == kItemContact || item.type == kItemPermit || item.type == kItemDeny;
    if (namesUser && !ParseUin(item.name, uin))
        return kResultInvalid;
    if (item.type != kItemContact)
        return kResultDone;
    const auto contacts = std::count_if(list.items.begin(), list.items.end(),
                                        [](const ListItem& entry) { return entry.type == kItemContact; });
    if (static_cast<std::size_t>(contacts) >= kMaxContacts)
        return kResultLimit;
    const Account* account = server.Accounts().Find(uin);
    if (account != nullptr && account->authRequired && !HasItem(item, 0x0066))
        return kResultNeedsAuthorisation;
    return kResultDone;
}

// Tells the added user (0x13/0x1C) and shows it to the adder when online.
void ContactAdded(Server& server, Connection& connection, std::uint32_t uin)
{
    Connection* user = server.OnlineSession(uin);
    if (user == nullptr || user == &connection)
        return;
    if (!user->virtualPeer)
        server.SendSnac(*user, 0x0013, 0x001C, 0, 0, Writer().ByteString(std::to_string(connection.uin)).Take());
    if (connection.listActive)
        AnnounceTo(server, *user, connection);
}

// What a change means for presence, acted on after the acknowledgement.
struct Consequences {
    std::vector<std::uint32_t> added;
    std::vector<std::uint32_t> removed;
    bool visibility = false;
};

void Note(const ListItem& item, bool adding, Consequences& consequences)
{
    std::uint32_t uin = 0;
    if (item.type == kItemContact && ParseUin(item.name, uin))
        (adding ? consequences.added : consequences.removed).push_back(uin);
    if (item.type == kItemPermit || item.type == kItemDeny || item.type == kItemPrivacy)
        consequences.visibility = true;
}

std::uint16_t ApplyChange(Server& server, ServerList& list, std::uint16_t subtype, const ListItem& item,
                          Consequences& consequences)
{
    ListItem* existing = list.Find(item.groupId, item.itemId);
    if (subtype == 0x0008) {
        const std::uint16_t result = CheckNewItem(server, list, item);
        if (result == kResultDone) {
            list.items.push_back(item);
            Note(item, true, consequences);
        }
        return result;
    }
    if (existing == nullptr || existing->type != item.type)
        return kResultNotFound;
    if (subtype == 0x0009) {
        existing->name = item.name;
        existing->data = item.data;
        Note(item, false, consequences);  // an update may have renamed a contact
        Note(item, true, consequences);
        return kResultDone;
    }
    Note(*existing, false, consequences);
    list.items.erase(list.items.begin() + (existing - list.items.data()));
    return kResultDone;
}

void OnChange(Server& server, Connection& connection, const Snac& snac)
{
    std::vector<ListItem> items;
    Reader reader(snac.data);
    while (!reader.AtEnd()) {
        ListItem item;
        if (!ServerList::DecodeItem(reader, item)) {
            server.SendError(connection, 0x0013, snac.requestId, 0x000E);
            return;
        }
        items.push_back(std::move(item));
    }
    ServerList& list = server.ListOf(connection.uin);
    Writer results;
    Consequences consequences;
    bool changed = false;
    for (const ListItem& item : items) {
        const std::uint16_t result = ApplyChange(server, list, snac.subtype, item, consequences);
        results.U16(result);
        changed = changed || result == kResultDone;
    }
    if (changed) {
        list.Touch(server.Now());
        server.SaveList(connection.uin);
    }
    server.SendSnac(connection, 0x0013, 0x000E, 0, snac.requestId, results.Data());
    for (std::uint32_t uin : consequences.removed)
        Unwatch(server, connection, uin);
    for (std::uint32_t uin : consequences.added) {
        if (snac.subtype == 0x0008)
            ContactAdded(server, connection, uin);
    }
    if (consequences.visibility && connection.ready)
        AnnounceEverywhere(server, connection);
}

// 0x13/0x07: the client has its list; from now on it is told about the
// contacts on it, starting with those online now.
void OnActivate(Server& server, Connection& connection, const Snac&)
{
    if (connection.listActive)
        return;
    connection.listActive = true;
    ShowContactsTo(server, connection);
}

void OnBracketStart(Server&, Connection& connection, const Snac&) { connection.listBracketOpen = true; }
void OnBracketEnd(Server&, Connection& connection, const Snac&) { connection.listBracketOpen = false; }
void OnIgnored(Server&, Connection&, const Snac&) {}

// 0x13/0x18: UIN, reason (16-bit length and text), relayed to that user as
// 0x13/0x19 with the requester's UIN. Users who are offline miss it.
void OnAuthorisationRequest(Server& server, Connection& connection, const Snac& snac)
{
    Reader reader(snac.data);
    std::string uinText;
    std::uint32_t uin = 0;
    std::uint16_t length = 0;
    ByteView reason;
    if (!reader.ByteString(uinText) || !ParseUin(uinText, uin)) {
        server.SendError(connection, 0x0013, snac.requestId, 0x000E);
        return;
    }
    if (!reader.U16(length) || !reader.Take(length, reason))
        reason = ByteView();
    Connection* target = server.OnlineSession(uin);
    if (target == nullptr)
        return;
    Writer body;
    body.ByteString(std::to_string(connection.uin)).U16(static_cast<std::uint16_t>(reason.size()));
    body.Append(reason).U16(0);
    server.SendSnac(*target, 0x0013, 0x0019, 0, 0, body.Data());
}

// 0x13/0x1A: UIN, granted flag (1 byte), reason; relayed as 0x13/0x1B.
void OnAuthorisationReply(Server& server, Connection& connection, const Snac& snac)
{
    Reader reader(snac.data);
    std::string uinText;
    std::uint32_t uin = 0;
    std::uint8_t granted = 0;
    std::uint16_t length = 0;
    ByteView reason;
    if (!reader.ByteString(uinText) || !ParseUin(uinText, uin) || !reader.U8(granted)) {
        server.SendError(connection, 0x0013, snac.requestId, 0x000E);
        return;
    }
    if (!reader.U16(length) || !reader.Take(length, reason))
        reason = ByteView();
    Connection* target = server.OnlineSession(uin);
    if (target == nullptr || target->virtualPeer)
        return;
    Writer body;
    body.ByteString(std::to_string(connection.uin)).U8(granted);
    body.U16(static_cast<std::uint16_t>(reason.size())).Append(reason);
    server.SendSnac(*target, 0x0013, 0x001B, 0, 0, body.Data());
}

}  // namespace

void RegisterListFamily(HandlerTable& table)
{
    table[0x00130002] = OnRights;
    table[0x00130004] = OnListRequest;
    table[0x00130005] = OnListCheck;
    table[0x00130007] = OnActivate;
    table[0x00130008] = OnChange;
    table[0x00130009] = OnChange;
    table[0x0013000A] = OnChange;
    table[0x00130011] = OnBracketStart;
    table[0x00130012] = OnBracketEnd;
    table[0x00130014] = OnIgnored;  // future authorisation grant
    table[0x00130018] = OnAuthorisationRequest;
    table[0x0013001A] = OnAuthorisationReply;
}

}  // namespace oscarserver
