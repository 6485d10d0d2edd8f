// Login service: authorisation on the login port, in either of two forms.
//
// Classic (FLAP channel 1): the client answers the greeting with 00 00 00 01
// followed by items: 0x0001 UIN, 0x0002 roasted password, then client
// identification (0x0003, 0x0016 ... 0x001A, 0x0014, 0x000F, 0x000E) that is
// accepted as it comes. The reply is a channel-4 frame: 0x0001 UIN, 0x0005
// BOS address and 0x0006 cookie on success; 0x0001 UIN, 0x0004 an error
// address and 0x0008 the error code on rejection (1 unknown UIN, 5 wrong
// password).
//
// Key-based (SNAC family 0x17 on channel 2, after a bare 00 00 00 01):
// 0x17/0x06 (item 0x0001 UIN) asks for a key, answered by 0x17/0x07 (16-bit
// length and the key); 0x17/0x02 carries 0x0001 UIN and 0x0025 the MD5 of
// key + password + kHashSuffix, or with item 0x004C present the MD5 of
// key + MD5(password) + kHashSuffix. The reply is 0x17/0x03 with the same
// items as the channel-4 reply.
//
// Either reply ends the login connection: the server closes it once the
// reply is written, as the client has nothing more to ask.
#include <algorithm>

#include "tools/oscar-server/Md5.h"
#include "tools/oscar-server/Server.h"

namespace oscarserver {
namespace {

constexpr std::uint16_t kErrorUnknownUin = 0x0001;
constexpr std::uint16_t kErrorWrongPassword = 0x0005;
constexpr std::string_view kHashSuffix = "AOL Instant Messenger (SM)";
constexpr std::size_t kKeyDigits = 10;

enum class LoginForm { Classic, Key };

void SendReply(Server& server, Connection& connection, LoginForm form, const Bytes& items)
{
    if (form == LoginForm::Classic)
        server.SendFlap(connection, 4, items);
    else
        server.SendSnac(connection, 0x0017, 0x0003, 0, 0, items);
    server.Finish(connection);
}

void Reject(Server& server, Connection& connection, LoginForm form, std::string_view uin, std::uint16_t code)
{
    const Bytes reply = Writer()
                            .Tlv(0x0001, uin)
                            .Tlv(0x0004, "http://localhost/error?code=" + std::to_string(code))
                            .TlvU16(0x0008, code)
                            .Take();
    server.Log("login of '" + std::string(uin) + "' rejected with code " + std::to_string(code));
    SendReply(server, connection, form, reply);
}

void Accept(Server& server, Connection& connection, LoginForm form, const std::string& uinText, std::uint32_t uin)
{
    const Bytes cookie = server.IssueCookie(uin);
    const Bytes reply =
        Writer().Tlv(0x0001, uinText).Tlv(0x0005, server.BosAddress()).Tlv(0x0006, cookie).Take();
    server.Log("login of " + uinText + " accepted");
    SendReply(server, connection, form, reply);
}

// The account a UIN item names, or null.
const Account* AccountOf(Server& server, const Tlv* uinItem, std::string& uinText)
{
    uinText = uinItem == nullptr ? std::string() : Text(uinItem->value);
    std::uint32_t uin = 0;
    return ParseUin(uinText, uin) ? server.Accounts().Find(uin) : nullptr;
}

// The roasted password matches when unroasting it gives the stored password.
// The echo account never signs on.
bool PasswordMatches(const Account& account, ByteView roasted)
{
    const Bytes plain = Roast(roasted);
    return !account.echo && !account.password.empty() && plain.size() == account.password.size() &&
           std::equal(plain.begin(), plain.end(), account.password.begin());
}

bool HashMatches(const Account& account, ByteView key, ByteView hash, bool hashedPassword)
{
    Md5 md5;
    md5.Update(key);
    if (hashedPassword)
        md5.Update(Md5Of(View(account.password)));
    else
        md5.Update(account.password);
    const Md5Digest expected = md5.Update(kHashSuffix).Finish();
    return !account.echo && !account.password.empty() && hash.size() == expected.size() &&
           std::equal(hash.begin(), hash.end(), expected.begin());
}

void AuthoriseClassic(Server& server, Connection& connection, ByteView payload)
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
        return;  // the bare 00 00 00 01 a client sends before its request
    std::string uinText;
    const Account* account = AccountOf(server, uinItem, uinText);
    if (account == nullptr)
        Reject(server, connection, LoginForm::Classic, uinText, kErrorUnknownUin);
    else if (passwordItem == nullptr || !PasswordMatches(*account, passwordItem->value))
        Reject(server, connection, LoginForm::Classic, uinText, kErrorWrongPassword);
    else
        Accept(server, connection, LoginForm::Classic, uinText, account->uin);
}

// 0x17/0x06: a fresh key for this connection, whoever asks (the answer does
// not tell whether the UIN exists).
void SendKey(Server& server, Connection& connection, const Snac& snac)
{
    std::string key;
    for (std::size_t i = 0; i < kKeyDigits; ++i)
        key.push_back(static_cast<char>('0' + server.Random()() % 10));
    connection.loginKey.assign(key.begin(), key.end());
    const Bytes body = Writer().U16(static_cast<std::uint16_t>(key.size())).Append(key).Take();
    server.SendSnac(connection, 0x0017, 0x0007, 0, snac.requestId, body);
}

// 0x17/0x02: checks the hash against the key this connection was given.
void AuthoriseWithKey(Server& server, Connection& connection, const Snac& snac)
{
    Reader reader(snac.data);
    std::vector<Tlv> items;
    if (!ReadTlvs(reader, items)) {
        server.Drop(connection);
        return;
    }
    std::string uinText;
    const Account* account = AccountOf(server, FindTlv(items, 0x0001), uinText);
    const Tlv* hash = FindTlv(items, 0x0025);
    const bool hashedPassword = FindTlv(items, 0x004C) != nullptr;
    if (account == nullptr)
        Reject(server, connection, LoginForm::Key, uinText, kErrorUnknownUin);
    else if (hash == nullptr || connection.loginKey.empty() ||
             !HashMatches(*account, connection.loginKey, hash->value, hashedPassword))
        Reject(server, connection, LoginForm::Key, uinText, kErrorWrongPassword);
    else
        Accept(server, connection, LoginForm::Key, uinText, account->uin);
}

void HandleLoginSnac(Server& server, Connection& connection, ByteView payload)
{
    Snac snac;
    if (!ParseSnac(payload, snac)) {
        server.Drop(connection);
        return;
    }
    if (snac.family == 0x0017 && snac.subtype == 0x0006)
        SendKey(server, connection, snac);
    else if (snac.family == 0x0017 && snac.subtype == 0x0002)
        AuthoriseWithKey(server, connection, snac);
    else
        server.Drop(connection);  // the login port serves nothing else
}

}  // namespace

void HandleLoginFrame(Server& server, Connection& connection, const Frame& frame)
{
    switch (frame.channel) {
    case 1:
        AuthoriseClassic(server, connection, frame.payload);
        return;
    case 2:
        HandleLoginSnac(server, connection, frame.payload);
        return;
    case 4:
        server.Finish(connection);
        return;
    default:
        return;
    }
}

}  // namespace oscarserver
