// oscar-server over real sockets: login, sign-on, messages, offline storage,
// the server-stored list and misbehaving clients, each driven by raw clients.
#include <gtest/gtest.h>

#include "tests/tools/oscar_server/RawClient.h"
#include "tools/oscar-server/Accounts.h"

namespace oscartest {
namespace {

using oscarserver::Reader;
using oscarserver::Writer;

std::uint16_t ErrorCode(const std::map<std::uint16_t, Bytes>& reply)
{
    const auto found = reply.find(0x0008);
    return found == reply.end() || found->second.size() < 2
               ? 0xFFFF
               : static_cast<std::uint16_t>((found->second[0] << 8) | found->second[1]);
}

TEST(OscarServerLogin, RejectsAWrongPasswordWith5AndAnUnknownUinWith1)
{
    ServerHarness server;
    RawClient client;
    EXPECT_EQ(ErrorCode(client.Login(server.LoginPort(), "100001", "wrong")), 5);
    EXPECT_EQ(ErrorCode(client.Login(server.LoginPort(), "100001", "")), 5);
    EXPECT_EQ(ErrorCode(client.Login(server.LoginPort(), "424242", "demo")), 1);
    EXPECT_EQ(ErrorCode(client.Login(server.LoginPort(), "not-a-uin", "demo")), 1);
    // The echo account never signs on.
    EXPECT_EQ(ErrorCode(client.Login(server.LoginPort(), std::to_string(oscarserver::kEchoUin), "")), 5);

    const auto accepted = client.Login(server.LoginPort(), "100001", "demo");
    ASSERT_EQ(accepted.count(0x0006), 1u);
    EXPECT_EQ(oscarserver::Text(accepted.at(0x0005)), "127.0.0.1:" + std::to_string(server.BosPort()));
    EXPECT_EQ(accepted.count(0x0008), 0u);
}

// Both login forms end the login connection after the reply; the key-based
// one takes the password's hash in both variants.
TEST(OscarServerLogin, KeyLoginAcceptsEitherHashAndEveryReplyClosesTheConnection)
{
    struct Case {
        const char* name;
        bool keyLogin;
        bool hashedPassword;
        std::string uin;
        std::string password;
        std::uint16_t error;  // 0: accepted
    };
    const Case cases[] = {
        {"classic, accepted", false, false, "100001", "demo", 0},
        {"classic, wrong password", false, false, "100001", "nope", 5},
        {"key, plain password hash", true, false, "100001", "demo", 0},
        {"key, password's hash hashed", true, true, "100002", "friend", 0},
        {"key, wrong password", true, false, "100001", "Demo", 5},
        {"key, wrong password hashed", true, true, "100001", "demo ", 5},
        {"key, unknown UIN", true, false, "424242", "demo", 1},
        {"key, echo account", true, false, std::to_string(oscarserver::kEchoUin), "", 5},
    };
    ServerHarness server;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RawClient client;
        const auto reply = c.keyLogin ? client.KeyLogin(server.LoginPort(), c.uin, c.password, c.hashedPassword)
                                      : client.Login(server.LoginPort(), c.uin, c.password);
        ASSERT_EQ(reply.count(0x0001), 1u);
        EXPECT_EQ(c.error == 0 ? 0 : ErrorCode(reply), c.error);
        EXPECT_EQ(reply.count(0x0006), c.error == 0 ? 1u : 0u);
        EXPECT_TRUE(client.WaitClosed());
        if (c.error != 0)
            continue;
        RawClient bos;
        EXPECT_TRUE(bos.OpenBos(server, reply.at(0x0006)));  // the cookie opens a BOS session
    }

    // A hash without a key asked for first is refused; so is anything but
    // family 0x17 on the login port.
    RawClient keyless;
    oscarserver::Frame frame;
    ReceivedSnac reply;
    ASSERT_TRUE(keyless.Connect(server.LoginPort()));
    ASSERT_TRUE(keyless.ReadFrame(frame));
    keyless.SendSnac(0x0017, 0x0002, 2, Writer().Tlv(0x0001, "100001").Tlv(0x0025, Bytes(16)).Take());
    ASSERT_TRUE(keyless.WaitSnac(0x0017, 0x0003, reply));
    EXPECT_TRUE(keyless.WaitClosed());
    RawClient stray;
    ASSERT_TRUE(stray.Connect(server.LoginPort()));
    ASSERT_TRUE(stray.ReadFrame(frame));
    stray.SendSnac(0x0001, 0x0017, 1, ByteView());
    EXPECT_TRUE(stray.WaitClosed());
}

TEST(OscarServerLogin, CookieIsGoodForOneSessionOnly)
{
    ServerHarness server;
    RawClient login;
    const auto reply = login.Login(server.LoginPort(), "100001", "demo");
    ASSERT_EQ(reply.count(0x0006), 1u);
    for (int attempt = 0; attempt < 2; ++attempt) {
        RawClient bos;
        oscarserver::Frame frame;
        ASSERT_TRUE(bos.Connect(server.BosPort()));
        ASSERT_TRUE(bos.ReadFrame(frame));
        bos.SendFlap(1, Writer().U32(1).Tlv(0x0006, reply.at(0x0006)).Take());
        ReceivedSnac ready;
        if (attempt == 0)
            EXPECT_TRUE(bos.WaitSnac(0x0001, 0x0003, ready));
        else
            EXPECT_TRUE(bos.WaitClosed());
    }
}

TEST(OscarServerSession, SignOnAnswersRightsOfEveryFamily)
{
    ServerHarness server;
    RawClient client;
    ASSERT_TRUE(client.SignOn(server, 100001, "demo"));
    const std::pair<std::uint16_t, std::uint16_t> rights[] = {
        {0x0002, 0x0002}, {0x0003, 0x0002}, {0x0004, 0x0004}, {0x0009, 0x0002}, {0x0013, 0x0002}};
    for (const auto& [family, subtype] : rights) {
        client.SendSnac(family, subtype, 0x1234, ByteView());
        ReceivedSnac reply;
        EXPECT_TRUE(client.WaitSnac(family, static_cast<std::uint16_t>(subtype + 1), reply)) << family;
        EXPECT_EQ(reply.requestId, 0x1234u);
    }
    // Privacy flags (0x01/0x14) are taken without an answer.
    client.SendSnac(0x0001, 0x0014, 0x14, Writer().U32(3).Take());
    EXPECT_TRUE(client.NoSnac(0x0001, 0x0001));
    // An unknown family is refused with an error, the session lives on.
    client.SendSnac(0x0042, 0x0002, 9, ByteView());
    ReceivedSnac error;
    ASSERT_TRUE(client.WaitSnac(0x0042, 0x0001, error));
    client.SendFlap(5, ByteView());  // keep-alive
    client.SendSnac(0x0001, 0x000E, 0x0E, ByteView());
    EXPECT_TRUE(client.WaitSnac(0x0001, 0x000F, error));
}

TEST(OscarServerMessaging, TwoClientsExchangeAMessageWithPresenceAndAcknowledgement)
{
    ServerHarness server;
    RawClient demo;
    RawClient other;
    ASSERT_TRUE(demo.SignOn(server, 100001, "demo"));
    ASSERT_TRUE(other.SignOn(server, 100002, "friend", 0x0001));

    // Demo lists friend on its client-side list and sees it online, away.
    demo.SendSnac(0x0003, 0x0004, 4, Writer().ByteString("100002").Take());
    ReceivedSnac presence;
    std::string uin;
    while (uin != "100002" && demo.WaitSnac(0x0003, 0x000B, presence)) {
        Reader reader(presence.data);
        ASSERT_TRUE(reader.ByteString(uin));  // the echo account comes first
    }
    ASSERT_EQ(uin, "100002");

    demo.SendSnac(0x0004, 0x0006, 77, Channel1Message("cookie01", 100002, "hello there", kAskBoth));
    ReceivedSnac ack;
    ASSERT_TRUE(demo.WaitSnac(0x0004, 0x000C, ack));
    EXPECT_EQ(ack.requestId, 77u);
    EXPECT_EQ(oscarserver::Text(ByteView(ack.data).first(8)), "cookie01");

    ReceivedSnac incoming;
    ASSERT_TRUE(other.WaitSnac(0x0004, 0x0007, incoming));
    std::string sender;
    EXPECT_EQ(IncomingText(incoming, &sender), "hello there");
    EXPECT_EQ(sender, "100001");

    // The client acknowledgement goes back to the sender with the UIN swapped.
    other.SendSnac(0x0004, 0x000B, 5, Writer().Append("cookie01").U16(2).ByteString("100001").U16(3).Take());
    ReceivedSnac relayed;
    ASSERT_TRUE(demo.WaitSnac(0x0004, 0x000B, relayed));
    Reader back(relayed.data);
    ASSERT_TRUE(back.Skip(10) && back.ByteString(uin));
    EXPECT_EQ(uin, "100002");

    // Typing notices are relayed too; a message without 0x0006 gets no ack.
    other.SendSnac(0x0004, 0x0014, 6, Writer().U32(0).U32(0).U16(1).ByteString("100001").U16(2).Take());
    EXPECT_TRUE(demo.WaitSnac(0x0004, 0x0014, relayed));
    demo.SendSnac(0x0004, 0x0006, 78, Channel1Message("cookie02", 100002, "no ack", kAskNothing));
    EXPECT_TRUE(other.WaitSnac(0x0004, 0x0007, incoming));
    EXPECT_TRUE(demo.NoSnac(0x0004, 0x000C));
}

TEST(OscarServerMessaging, EchoAccountAnswersWithTheSameText)
{
    ServerHarness server;
    RawClient demo;
    ASSERT_TRUE(demo.SignOn(server, 100001, "demo"));
    demo.SendSnac(0x0004, 0x0006, 1, Channel1Message("cookie03", oscarserver::kEchoUin, "ping", kAskBoth));
    ReceivedSnac reply;
    ASSERT_TRUE(demo.WaitSnac(0x0004, 0x0007, reply));
    std::string sender;
    EXPECT_EQ(IncomingText(reply, &sender), "ping");
    EXPECT_EQ(sender, std::to_string(oscarserver::kEchoUin));
}

TEST(OscarServerMessaging, OfflineRecipientStoresOnlyWhenAskedAndDeliversOnce)
{
    ServerHarness server;
    RawClient demo;
    ASSERT_TRUE(demo.SignOn(server, 100001, "demo"));
    demo.SendSnac(0x0004, 0x0006, 10, Channel1Message("cookie04", 100002, "lost", kAskNothing));
    ReceivedSnac reply;
    ASSERT_TRUE(demo.WaitSnac(0x0004, 0x0001, reply));
    EXPECT_EQ(reply.data, (Bytes{0x00, 0x04}));
    demo.SendSnac(0x0004, 0x0006, 11, Channel1Message("cookie05", 100002, "kept for you", kAskBoth));
    ASSERT_TRUE(demo.WaitSnac(0x0004, 0x000C, reply));

    RawClient other;
    ASSERT_TRUE(other.SignOn(server, 100002, "friend"));
    other.SendSnac(0x0015, 0x0002, 0x00020001, MetaRequest(100002, 0x003C, 2, ByteView()));
    ASSERT_TRUE(other.WaitSnac(0x0015, 0x0003, reply));
    Reader meta(reply.data);
    std::uint16_t type = 0, length = 0, rest = 0, replyType = 0, sequence = 0, year = 0, textLength = 0;
    std::uint32_t owner = 0, from = 0;
    ByteView text;
    ASSERT_TRUE(meta.U16(type) && meta.U16(length) && meta.U16LE(rest) && meta.U32LE(owner) &&
                meta.U16LE(replyType) && meta.U16LE(sequence) && meta.U32LE(from) && meta.U16LE(year) &&
                meta.Skip(4 + 2) && meta.U16LE(textLength) && meta.Take(textLength, text));
    EXPECT_EQ(replyType, 0x0041);
    EXPECT_EQ(from, 100001u);
    EXPECT_EQ(oscarserver::Text(text), std::string("kept for you") + '\0');
    EXPECT_EQ(reply.flags & 1, 1);
    ASSERT_TRUE(other.WaitSnac(0x0015, 0x0003, reply));
    EXPECT_EQ(reply.data[10], 0x42);  // end of offline messages

    // Deleting, then asking again, finds nothing.
    Bytes remove = MetaRequest(100002, 0x003E, 0, ByteView());
    remove.push_back(0);
    remove.push_back(0);
    other.SendSnac(0x0015, 0x0002, 0, remove);
    other.SendSnac(0x0015, 0x0002, 3, MetaRequest(100002, 0x003C, 3, ByteView()));
    ASSERT_TRUE(other.WaitSnac(0x0015, 0x0003, reply));
    EXPECT_EQ(reply.data[10], 0x42);
}

TEST(OscarServerSession, SecondLoginDisconnectsTheFirstWithReasonOne)
{
    ServerHarness server;
    RawClient first;
    RawClient watcher;
    ASSERT_TRUE(first.SignOn(server, 100001, "demo"));
    ASSERT_TRUE(watcher.SignOn(server, 100002, "friend"));
    watcher.SendSnac(0x0003, 0x0004, 4, Writer().ByteString("100001").Take());
    ReceivedSnac presence;
    ASSERT_TRUE(watcher.WaitSnac(0x0003, 0x000B, presence));

    RawClient second;
    ASSERT_TRUE(second.SignOn(server, 100001, "demo"));
    EXPECT_TRUE(first.WaitClosed());
    EXPECT_EQ(first.lastClose, (Bytes{0x00, 0x09, 0x00, 0x02, 0x00, 0x01, 0x00, 0x0B, 0x00, 0x11, 'h', 't', 't', 'p',
                                      ':', '/', '/', 'l', 'o', 'c', 'a', 'l', 'h', 'o', 's', 't', '/'}));
    // Messages now reach the second session.
    watcher.SendSnac(0x0004, 0x0006, 1, Channel1Message("cookie06", 100001, "to the new one", kAskNothing));
    ReceivedSnac incoming;
    ASSERT_TRUE(second.WaitSnac(0x0004, 0x0007, incoming));
    EXPECT_EQ(IncomingText(incoming), "to the new one");
}

TEST(OscarServerSession, BadBytesCloseOnlyThatClient)
{
    ServerHarness server;
    RawClient good;
    RawClient bad;
    RawClient badBos;
    ASSERT_TRUE(good.SignOn(server, 100002, "friend"));
    ASSERT_TRUE(bad.SignOn(server, 100001, "demo"));
    bad.SendRaw(Bytes{0x2A, 0x02, 0x00, 0x01, 0x00, 0x03, 0x00, 0x01, 0x00, 0x47, 0x45, 0x54});
    EXPECT_TRUE(bad.WaitClosed());
    ASSERT_TRUE(badBos.Connect(server.BosPort()));
    badBos.SendRaw(Bytes{0x2A, 0x09, 0x00, 0x00, 0x00, 0x00});  // channel 9 does not exist
    EXPECT_TRUE(badBos.WaitClosed());

    good.SendSnac(0x0001, 0x000E, 3, ByteView());
    ReceivedSnac reply;
    EXPECT_TRUE(good.WaitSnac(0x0001, 0x000F, reply));
}

}  // namespace
}  // namespace oscartest

namespace oscartest {
namespace {

// The rate reply: five classes of 35 bytes, then per class its SNACs; every
// SNAC a client sends falls in exactly one class, sending messages not in
// the general class 1.
TEST(OscarServerSession, RateReplyPlacesEverySnacInExactlyOneOfFiveClasses)
{
    ServerHarness server;
    RawClient client;
    ASSERT_TRUE(client.SignOn(server, 100001, "demo"));
    client.SendSnac(0x0001, 0x0006, 6, ByteView());
    ReceivedSnac reply;
    ASSERT_TRUE(client.WaitSnac(0x0001, 0x0007, reply));
    Reader reader(reply.data);
    std::uint16_t count = 0;
    ASSERT_TRUE(reader.U16(count));
    ASSERT_EQ(count, 5);
    std::vector<std::uint16_t> ids;
    for (int i = 0; i < count; ++i) {
        ByteView block;
        ASSERT_TRUE(reader.Take(35, block));
        Reader fields(block);
        std::uint16_t id = 0;
        std::uint32_t window = 0, clear = 0, alert = 0, limit = 0, disconnect = 0, current = 0, max = 0;
        ASSERT_TRUE(fields.U16(id) && fields.U32(window) && fields.U32(clear) && fields.U32(alert) &&
                    fields.U32(limit) && fields.U32(disconnect) && fields.U32(current) && fields.U32(max));
        EXPECT_TRUE(window > 0 && clear > alert && alert > limit && limit > disconnect && max >= current &&
                    current > limit)
            << "class " << id;
        ids.push_back(id);
    }
    std::map<std::uint32_t, std::uint16_t> classOf;
    for (int i = 0; i < count; ++i) {
        std::uint16_t id = 0;
        std::uint16_t pairs = 0;
        ASSERT_TRUE(reader.U16(id) && reader.U16(pairs));
        EXPECT_EQ(id, ids[static_cast<std::size_t>(i)]);
        for (int p = 0; p < pairs; ++p) {
            std::uint32_t snac = 0;
            ASSERT_TRUE(reader.U32(snac));
            EXPECT_TRUE(classOf.emplace(snac, id).second) << std::hex << snac << " in two classes";
        }
    }
    EXPECT_TRUE(reader.AtEnd());
    const std::uint32_t sent[] = {0x00010002, 0x00010006, 0x00010008, 0x0001000E, 0x00010014, 0x00010017,
                                  0x0001001E, 0x00020004, 0x00030004, 0x00040002, 0x00040006, 0x0004000B,
                                  0x00040014, 0x00130005, 0x00130007, 0x00130008, 0x00150002};
    for (std::uint32_t snac : sent)
        EXPECT_EQ(classOf.count(snac), 1u) << std::hex << snac;
    EXPECT_NE(classOf[0x00040006], 1);
    EXPECT_EQ(classOf[0x00010002], 1);
}

}  // namespace
}  // namespace oscartest
