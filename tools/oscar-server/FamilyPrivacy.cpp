// Family 0x0009 (privacy management, "BOS"): rights only. Client-side
// visible and invisible lists (0x05..0x08) are accepted and ignored: ICQ
// clients of this era keep permit, deny and the privacy mode in the
// server-stored list, which is what Presence reads.
#include "tools/oscar-server/Server.h"

namespace oscarserver {
namespace {

void OnRights(Server& server, Connection& connection, const Snac& snac)
{
    const Bytes body = Writer()
                           .TlvU16(0x0001, 0x00A0)   // largest visible list
                           .TlvU16(0x0002, 0x00A0)   // largest invisible list
                           .Take();
    server.SendSnac(connection, 0x0009, 0x0003, 0, snac.requestId, body);
}

void OnIgnored(Server&, Connection&, const Snac&) {}

}  // namespace

void RegisterPrivacyFamily(HandlerTable& table)
{
    table[0x00090002] = OnRights;
    table[0x00090004] = OnIgnored;
    table[0x00090005] = OnIgnored;
    table[0x00090006] = OnIgnored;
    table[0x00090007] = OnIgnored;
    table[0x00090008] = OnIgnored;
}

}  // namespace oscarserver
