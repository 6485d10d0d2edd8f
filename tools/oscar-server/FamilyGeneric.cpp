// Family 0x0001 (generic service) and the BOS sign-on frame.
//
// Sign-on: the client answers the greeting with 00 00 00 01 and item 0x0006
// (the cookie from the login reply); the server answers with 0x01/0x03, the
// families it serves. Then, in the client's order: versions (0x17 -> 0x18),
// rate information (0x06 -> 0x07, 0x08 acknowledges it), the rights requests
// of the other families, status (0x1E -> 0x0F) and client ready (0x02), which
// makes the user visible to others. The user sees its own contacts once it
// activates its server-stored list (0x13/0x07).
#include "tools/oscar-server/Presence.h"

namespace oscarserver {
namespace {

struct FamilyVersion {
    std::uint16_t family;
    std::uint16_t version;
};
constexpr FamilyVersion kFamilies[] = {
    {0x0001, 4}, {0x0002, 1}, {0x0003, 1}, {0x0004, 1}, {0x0009, 1}, {0x000B, 1}, {0x0013, 4}, {0x0015, 1},
};

// Rate classes as the servers of the time published them: class 1 for most
// SNACs, class 2 for sending messages, class 3 for ICQ meta requests, class 4
// for typing notices and client acknowledgements, class 5 for changes to the
// server-stored list and authorisation requests. The limits are published
// for the client's benefit; the server does not enforce them.
struct RateClass {
    std::uint16_t id;
    std::uint32_t window, clear, alert, limit, disconnect, current, max;
};
constexpr RateClass kRateClasses[] = {
    {1, 80, 2500, 2000, 1500, 800, 3400, 6000},  {2, 80, 3000, 2000, 1500, 1000, 3400, 6000},
    {3, 20, 5100, 5000, 4000, 3000, 5100, 6000}, {4, 20, 5500, 5300, 4200, 3000, 5500, 8000},
    {5, 10, 5500, 5300, 4200, 3000, 5500, 8000},
};

std::uint16_t RateClassOf(std::uint32_t snac)
{
    switch (snac) {
    case 0x00040006:
        return 2;
    case 0x00150002:
        return 3;
    case 0x0004000B:
    case 0x00040014:
        return 4;
    case 0x00130008:
    case 0x00130009:
    case 0x0013000A:
    case 0x00130018:
    case 0x0013001A:
        return 5;
    default:
        return 1;
    }
}

// Class parameters (35 bytes each), then per class the SNACs it governs:
// every SNAC the server serves, each in exactly one class.
void OnRateRequest(Server& server, Connection& connection, const Snac& snac)
{
    Writer body;
    body.U16(static_cast<std::uint16_t>(std::size(kRateClasses)));
    for (const RateClass& rate : kRateClasses) {
        body.U16(rate.id).U32(rate.window).U32(rate.clear).U32(rate.alert).U32(rate.limit);
        body.U32(rate.disconnect).U32(rate.current).U32(rate.max).U32(0).U8(0);
    }
    const std::vector<std::uint32_t> served = server.ServedSnacs();
    for (const RateClass& rate : kRateClasses) {
        std::vector<std::uint32_t> members;
        for (std::uint32_t entry : served) {
            if (RateClassOf(entry) == rate.id)
                members.push_back(entry);
        }
        body.U16(rate.id).U16(static_cast<std::uint16_t>(members.size()));
        for (std::uint32_t entry : members)
            body.U32(entry);
    }
    server.SendSnac(connection, 0x0001, 0x0007, 0, snac.requestId, body.Data());
}

void SendServerReady(Server& server, Connection& connection)
{
    Writer body;
    for (const FamilyVersion& entry : kFamilies)
        body.U16(entry.family);
    server.SendSnac(connection, 0x0001, 0x0003, 0, 0, body.Data());
}

void OnVersions(Server& server, Connection& connection, const Snac& snac)
{
    Writer body;
    for (const FamilyVersion& entry : kFamilies)
        body.U16(entry.family).U16(entry.version);
    server.SendSnac(connection, 0x0001, 0x0018, 0, snac.requestId, body.Data());
}

void OnRateAcknowledge(Server&, Connection&, const Snac&) {}

void SendOwnInformation(Server& server, Connection& connection, std::uint32_t requestId)
{
    server.SendSnac(connection, 0x0001, 0x000F, 0, requestId, UserInfoBlock(server, connection));
}

void OnOwnInformation(Server& server, Connection& connection, const Snac& snac)
{
    SendOwnInformation(server, connection, snac.requestId);
}

// Items: 0x0006 status (flags, code), 0x000C direct-connection data, others
// (0x0008 error flag, 0x001D icon, ...) accepted and ignored.
void OnSetStatus(Server& server, Connection& connection, const Snac& snac)
{
    Reader reader(snac.data);
    std::vector<Tlv> items;
    if (!ReadTlvs(reader, items)) {
        server.SendError(connection, 0x0001, snac.requestId, 0x000E);
        return;
    }
    if (const Tlv* status = FindTlv(items, 0x0006); status != nullptr) {
        Reader value(status->value);
        std::uint16_t flags = 0;
        std::uint16_t code = 0;
        if (value.U16(flags) && value.U16(code)) {
            connection.statusFlags = flags;
            connection.status = code;
        }
    }
    if (const Tlv* direct = FindTlv(items, 0x000C); direct != nullptr)
        connection.directConnection.assign(direct->value.begin(), direct->value.end());
    SendOwnInformation(server, connection, snac.requestId);
    if (connection.ready)
        AnnounceEverywhere(server, connection);
}

void OnClientReady(Server& server, Connection& connection, const Snac&)
{
    if (connection.ready)
        return;
    connection.ready = true;
    AnnounceEverywhere(server, connection);
}

void OnIgnored(Server&, Connection&, const Snac&) {}

}  // namespace

void AcceptBosSignOn(Server& server, Connection& connection, ByteView payload)
{
    Reader reader(payload);
    std::uint32_t version = 0;
    std::vector<Tlv> items;
    const bool parsed = reader.U32(version) && version == 1 && ReadTlvs(reader, items);
    const Tlv* cookie = parsed ? FindTlv(items, 0x0006) : nullptr;
    if (!parsed) {
        server.Drop(connection);
        return;
    }
    if (cookie == nullptr && items.empty())
        return;  // a bare 00 00 00 01 before the cookie frame
    const std::uint32_t uin = cookie == nullptr ? 0 : server.TakeCookie(cookie->value);
    if (uin == 0) {
        server.Log("#" + std::to_string(connection.id) + ": unknown or expired cookie");
        server.SendFlap(connection, 4, Writer().TlvU16(0x0009, 0x0000).Take());
        server.Finish(connection);
        return;
    }
    server.StartSession(connection, uin);
    server.Log(std::to_string(uin) + " signed on (#" + std::to_string(connection.id) + ")");
    SendServerReady(server, connection);
}

void RegisterGenericFamily(HandlerTable& table)
{
    table[0x00010002] = OnClientReady;
    table[0x00010006] = OnRateRequest;
    table[0x00010008] = OnRateAcknowledge;
    table[0x0001000E] = OnOwnInformation;
    table[0x00010011] = OnIgnored;  // idle time
    table[0x00010014] = OnIgnored;  // privacy flags, sent by classic clients at every sign-on
    table[0x00010017] = OnVersions;
    table[0x0001001E] = OnSetStatus;
    table[0x000B0003] = OnIgnored;  // statistics report
}

}  // namespace oscarserver
