// Login service: authorisation on the login port (FLAP channel 1).
//
// The client answers the greeting with 00 00 00 01 followed by items: 0x0001
// UIN, 0x0002 roasted password, then client identification (0x0003, 0x0016
// ... 0x001A, 0x0014, 0x000F, 0x000E) that is accepted as it comes. The reply
// is a channel-4 frame: 0x0001 UIN, 0x0005 BOS address and 0x0006 cookie on
// success; 0x0001 UIN, 0x0004 an error address and 0x0008 the error code on
// rejection (1 unknown UIN, 5 wrong password). The connection stays open
// until the client closes it or signs off, as clients send one more frame
// (an empty channel 1 or a channel 4) after reading the reply.
#include <algorithm>

#include "tools/oscar-server/Server.h"

namespace oscarserver {
namespace {

constexpr std::uint16_t kErrorUnknownUin = 0x0001;
constexpr std::uint16_t kErrorWrongPassword = 0x0005;

void Reject(Server& server, Connection& connection, std::string_view uin, std::uint16_t code)
{
    const Bytes reply = Writer()
                            .Tlv(0x0001, uin)
                            .Tlv(0x0004, "http://localhost/error?code=" + std::to_string(code))
                            .TlvU16(0x0008, code)
                            .Take();
    server.SendFlap(connection, 4, reply);
    server.Log("login of '" + std::string(uin) + "' rejected with code " + std::to_string(code));
}

// The roasted password matches when unroasting it gives the stored password.
bool PasswordMatches(const Account& account, ByteView roasted)
{
    const Bytes plain = Roast(roasted);
    return !account.echo && !account.password.empty() && plain.size() == account.password.size() &&
           std::equal(plain.begin(), plain.end(), account.password.begin());
}

void Authorise(Server& server, Connection& connection, ByteView payload)
{
    Reader reader(payload);
    std::uint32_t version = 0;
    std::vector<Tlv> items;
    if (!reader.U32(version) || version != 1 || !ReadTlvs(reader, items)) {
        server.Drop(connection);
        return;
    }
    const Tlv* uinItem = FindTlv(items, 0x0001);
    const Tlv* passwordItem = FindTlv(items, 0x0002);
    if (uinItem == nullptr && passwordItem == nullptr)
        return;  // the bare 00 00 00 01 a client may send before its request
    const std::string uinText = uinItem == nullptr ? std::string() : Text(uinItem->value);
    std::uint32_t uin = 0;
    const Account* account = ParseUin(uinText, uin) ? server.Accounts().Find(uin) : nullptr;
    connection.loginAnswered = true;
    if (account == nullptr) {
        Reject(server, connection, uinText, kErrorUnknownUin);
        return;
    }
    if (passwordItem == nullptr || !PasswordMatches(*account, passwordItem->value)) {
        Reject(server, connection, uinText, kErrorWrongPassword);
        return;
    }
    const Bytes cookie = server.IssueCookie(uin);
    const Bytes reply =
        Writer().Tlv(0x0001, uinText).Tlv(0x0005, server.BosAddress()).Tlv(0x0006, cookie).Take();
    server.SendFlap(connection, 4, reply);
    server.Log("login of " + uinText + " accepted");
}

}  // namespace

void HandleLoginFrame(Server& server, Connection& connection, const Frame& frame)
{
    switch (frame.channel) {
    case 1:
        if (connection.loginAnswered)
            return;  // the empty frame a client sends after the reply
        Authorise(server, connection, frame.payload);
        return;
    case 2:
        // SNAC-based (MD5) login is not offered: the 2003 ICQ clients use
        // channel 1.
        server.Drop(connection);
        return;
    case 4:
        server.Finish(connection);
        return;
    default:
        return;
    }
}

}  // namespace oscarserver
