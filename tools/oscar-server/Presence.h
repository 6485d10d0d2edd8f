// Presence: who sees whom, and the user information blocks that tell them.
//
// A user is online from client ready (0x01/0x02) until the session ends. A
// viewer watches a user who is on its client-side list (0x03/0x04) or, once
// the viewer activated its server-stored list (0x13/0x07), on that list; a
// client that fetches its list later is not told about contacts it does not
// know yet. Whether the viewer may see the user follows
// the user's status and privacy item: invisible status shows the user only to
// its permit list; otherwise 0x00CA decides (1 everyone, 2 nobody, 3 permit
// list only, 4 everyone but the deny list, 5 the user's own contacts).
// Each session remembers whom it was told is online, so that 0x03/0x0C goes
// only to those who saw the user.
#pragma once

#include "tools/oscar-server/Server.h"

namespace oscarserver {

// UIN, warning level and the items 0x0001 class, 0x0006 status, 0x000A
// address, 0x000C direct-connection data, 0x000D capabilities, 0x000F online
// time and 0x0003 sign-on time.
Bytes UserInfoBlock(Server& server, const Connection& user);
bool VisibleTo(Server& server, const Connection& user, std::uint32_t viewer);
bool Watches(Server& server, const Connection& viewer, std::uint32_t uin);

// Tells one viewer the user's current state: 0x03/0x0B when online and
// visible, else 0x03/0x0C when the viewer saw the user before.
void AnnounceTo(Server& server, Connection& user, Connection& viewer);
// AnnounceTo for every online session watching the user.
void AnnounceEverywhere(Server& server, Connection& user);
// 0x03/0x0C to every session that saw the user.
void AnnounceGone(Server& server, Connection& user);
// After the viewer stopped listing uin: 0x03/0x0C when it saw the user and
// no longer watches it.
void Unwatch(Server& server, Connection& viewer, std::uint32_t uin);
// The state of everyone on the viewer's server-stored list it was not told
// about yet (at list activation).
void ShowContactsTo(Server& server, Connection& viewer);

}  // namespace oscarserver
