#include "tools/oscar-server/Presence.h"

namespace oscarserver {
namespace {

constexpr std::uint16_t kUserClassIcq = 0x0050;
constexpr std::uint32_t kLoopbackAddress = 0x7F000001;

void SendOffline(Server& server, Connection& viewer, std::uint32_t uin)
{
    const Bytes body = Writer().ByteString(std::to_string(uin)).U16(0).U16(1).TlvU16(0x0001, kUserClassIcq).Take();
    server.SendSnac(viewer, 0x0003, 0x000C, 0, 0, body);
}

}  // namespace

Bytes UserInfoBlock(Server& server, const Connection& user)
{
    Writer items;
    std::uint16_t count = 0;
    items.TlvU16(0x0001, kUserClassIcq);
    items.U16(0x0006).U16(4).U16(user.statusFlags).U16(user.status);
    items.TlvU32(0x000A, kLoopbackAddress);
    count += 3;
    if (!user.directConnection.empty()) {
        items.Tlv(0x000C, user.directConnection);
        ++count;
    }
    if (!user.capabilities.empty()) {
        items.Tlv(0x000D, user.capabilities);
        ++count;
    }
    items.TlvU32(0x000F, server.Now() - user.signOnTime);
    items.TlvU32(0x0003, user.signOnTime);
    count += 2;
    Writer block;
    block.ByteString(std::to_string(user.uin)).U16(0).U16(count).Append(items.Data());
    return block.Take();
}

bool VisibleTo(Server& server, const Connection& user, std::uint32_t viewer)
{
    if (user.virtualPeer)
        return true;
    const ServerList& list = server.ListOf(user.uin);
    const bool permitted = list.Names(kItemPermit, viewer);
    if (user.Invisible())
        return permitted;
    switch (list.Privacy()) {
    case kPrivacyBlockAll:
        return false;
    case kPrivacyAllowPermitList:
        return permitted;
    case kPrivacyBlockDenyList:
        return !list.Names(kItemDeny, viewer);
    case kPrivacyAllowContacts:
        return list.Names(kItemContact, viewer);
    default:
        return true;
    }
}

bool Watches(Server& server, const Connection& viewer, std::uint32_t uin)
{
    return viewer.buddies.count(uin) != 0 ||
           (viewer.listActive && server.ListOf(viewer.uin).Names(kItemContact, uin));
}

void AnnounceTo(Server& server, Connection& user, Connection& viewer)
{
    if (&user == &viewer || viewer.virtualPeer || viewer.uin == 0)
        return;
    if (user.ready && VisibleTo(server, user, viewer.uin)) {
        server.SendSnac(viewer, 0x0003, 0x000B, 0, 0, UserInfoBlock(server, user));
        viewer.announced.insert(user.uin);
    } else if (viewer.announced.erase(user.uin) != 0) {
        SendOffline(server, viewer, user.uin);
    }
}

void AnnounceEverywhere(Server& server, Connection& user)
{
    for (Connection* viewer : server.SignedOnSessions()) {
        if (viewer != &user && Watches(server, *viewer, user.uin))
            AnnounceTo(server, user, *viewer);
    }
}

void AnnounceGone(Server& server, Connection& user)
{
    for (Connection* viewer : server.SignedOnSessions()) {
        if (viewer->announced.erase(user.uin) != 0)
            SendOffline(server, *viewer, user.uin);
    }
}

void Unwatch(Server& server, Connection& viewer, std::uint32_t uin)
{
    if (!Watches(server, viewer, uin) && viewer.announced.erase(uin) != 0)
        SendOffline(server, viewer, uin);
}

void ShowContactsTo(Server& server, Connection& viewer)
{
    std::set<std::uint32_t> watched;
    for (const ListItem& item : server.ListOf(viewer.uin).items) {
        std::uint32_t uin = 0;
        if (item.type == kItemContact && ParseUin(item.name, uin) && viewer.announced.count(uin) == 0)
            watched.insert(uin);
    }
    for (std::uint32_t uin : watched) {
        Connection* user = server.OnlineSession(uin);
        if (user != nullptr)
            AnnounceTo(server, *user, viewer);
    }
}

}  // namespace oscarserver
