// Family 0x0002 (location): rights, the user's own information (profile and
// capabilities) and queries of another user's information.
#include "tools/oscar-server/Presence.h"

namespace oscarserver {
namespace {

void OnRights(Server& server, Connection& connection, const Snac& snac)
{
    const Bytes body = Writer()
                           .TlvU16(0x0001, 0x0400)   // largest profile
                           .TlvU16(0x0002, 0x0010)   // most capabilities
                           .TlvU16(0x0003, 0x000A)
                           .TlvU16(0x0004, 0x1000)
                           .Take();
    server.SendSnac(connection, 0x0002, 0x0003, 0, snac.requestId, body);
}

// Item 0x0005: the capability identifiers, 16 bytes each, shown to others in
// item 0x000D of presence notices.
void OnSetInformation(Server& server, Connection& connection, const Snac& snac)
{
    Reader reader(snac.data);
    std::vector<Tlv> items;
    if (!ReadTlvs(reader, items)) {
        server.SendError(connection, 0x0002, snac.requestId, 0x000E);
        return;
    }
    const Tlv* capabilities = FindTlv(items, 0x0005);
    if (capabilities == nullptr)
        return;
    const std::size_t whole = capabilities->value.size() / 16 * 16;
    connection.capabilities.assign(capabilities->value.begin(),
                                   capabilities->value.begin() + static_cast<std::ptrdiff_t>(whole));
    if (connection.ready)
        AnnounceEverywhere(server, connection);
}

// 0x02/0x05 (type 16 bits, UIN) and 0x02/0x15 (flags 32 bits, UIN): the
// user's information block when online and visible, else error 4.
void AnswerQuery(Server& server, Connection& connection, const Snac& snac, Reader& reader)
{
    std::string uinText;
    std::uint32_t uin = 0;
    if (!reader.ByteString(uinText) || !ParseUin(uinText, uin)) {
        server.SendError(connection, 0x0002, snac.requestId, 0x000E);
        return;
    }
    Connection* user = server.OnlineSession(uin);
    if (user == nullptr || !VisibleTo(server, *user, connection.uin)) {
        server.SendError(connection, 0x0002, snac.requestId, 0x0004);
        return;
    }
    server.SendSnac(connection, 0x0002, 0x0006, 0, snac.requestId, UserInfoBlock(server, *user));
}

void OnQuery(Server& server, Connection& connection, const Snac& snac)
{
    Reader reader(snac.data);
    std::uint16_t type = 0;
    reader.U16(type);
    AnswerQuery(server, connection, snac, reader);
}

void OnQueryFlags(Server& server, Connection& connection, const Snac& snac)
{
    Reader reader(snac.data);
    std::uint32_t flags = 0;
    reader.U32(flags);
    AnswerQuery(server, connection, snac, reader);
}

}  // namespace

void RegisterLocationFamily(HandlerTable& table)
{
    table[0x00020002] = OnRights;
    table[0x00020004] = OnSetInformation;
    table[0x00020005] = OnQuery;
    table[0x00020015] = OnQueryFlags;
}

}  // namespace oscarserver
