// Family 0x0003 (buddy list): rights and the client-side list. Presence
// notices themselves (0x0B online, 0x0C offline) are sent by Presence.
#include "tools/oscar-server/Presence.h"

namespace oscarserver {
namespace {

constexpr std::size_t kMaxBuddies = 1000;

void OnRights(Server& server, Connection& connection, const Snac& snac)
{
    const Bytes body = Writer()
                           .TlvU16(0x0001, 0x03E8)   // most buddies
                           .TlvU16(0x0002, 0x0BB8)   // most watchers
                           .TlvU16(0x0003, 0x0200)   // most online notifications
                           .Take();
    server.SendSnac(connection, 0x0003, 0x0003, 0, snac.requestId, body);
}

// A run of UINs, each a length byte and digits. Malformed entries end the
// run; entries that are not UINs are skipped.
std::vector<std::uint32_t> ReadUins(ByteView data)
{
    std::vector<std::uint32_t> uins;
    Reader reader(data);
    std::string text;
    while (!reader.AtEnd() && reader.ByteString(text)) {
        std::uint32_t uin = 0;
        if (ParseUin(text, uin))
            uins.push_back(uin);
    }
    return uins;
}

void OnAddBuddies(Server& server, Connection& connection, const Snac& snac)
{
    for (std::uint32_t uin : ReadUins(snac.data)) {
        if (connection.buddies.size() >= kMaxBuddies) {
            server.SendError(connection, 0x0003, snac.requestId, 0x0015);  // list overflow
            return;
        }
        if (!connection.buddies.insert(uin).second)
            continue;
        if (Connection* user = server.OnlineSession(uin); user != nullptr)
            AnnounceTo(server, *user, connection);
    }
}

// Removed users are no longer watched through this list; the server-stored
// list may still name them.
void OnRemoveBuddies(Server&, Connection& connection, const Snac& snac)
{
    for (std::uint32_t uin : ReadUins(snac.data))
        connection.buddies.erase(uin);
}

}  // namespace

void RegisterBuddyFamily(HandlerTable& table)
{
    table[0x00030002] = OnRights;
    table[0x00030004] = OnAddBuddies;
    table[0x00030005] = OnRemoveBuddies;
}

}  // namespace oscarserver
