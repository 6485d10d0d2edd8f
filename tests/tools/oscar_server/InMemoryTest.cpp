// oscar-server without sockets: directory replies and robustness against
// arbitrary bytes on every kind of connection.
#include <gtest/gtest.h>
#include <random>

#include "tests/tools/oscar_server/RawClient.h"
#include "tools/oscar-server/InMemorySignOn.h"

namespace oscarserver {
namespace {

std::unique_ptr<Server> MakeServer()
{
    AccountBook accounts;
    std::string error;
    std::vector<std::string> warnings;
    accounts.LoadText(oscartest::kTestAccounts, error, warnings);
    ServerConfig config;
    config.logSink = [](const std::string&) {};
    return std::make_unique<Server>(std::move(config), std::move(accounts), DataStore());
}

struct MetaReply {
    std::uint16_t flags = 0;
    std::uint16_t type = 0;
    std::uint16_t subtype = 0;
    Bytes fields;  // after the subtype
};

std::vector<MetaReply> SendMeta(Server& server, ConnectionId id, std::uint16_t subtype, ByteView body)
{
    Writer request;
    request.U16LE(subtype).Append(body);
    Bytes frame;
    AppendFlap(frame, 2, 0, SnacPayload(0x0015, 0x0002, 0, 0x55, oscartest::MetaRequest(100001, 0x07D0, 7, request.Data())));
    server.Receive(id, frame);
    std::vector<MetaReply> replies;
    for (const Frame& out : TakeFrames(server, id)) {
        Snac snac;
        if (!ParseSnac(out.payload, snac) || snac.family != 0x0015)
            continue;
        MetaReply reply;
        reply.flags = snac.flags;
        Reader reader(snac.data);
        std::uint16_t tlvType = 0, length = 0, rest = 0, sequence = 0;
        std::uint32_t owner = 0;
        if (snac.subtype == 0x0001) {
            reply.type = 0xFFFF;
            reply.fields.assign(snac.data.begin(), snac.data.end());
        } else if (reader.U16(tlvType) && reader.U16(length) && reader.U16LE(rest) && reader.U32LE(owner) &&
                   reader.U16LE(reply.type) && reader.U16LE(sequence) && reader.U16LE(reply.subtype)) {
            EXPECT_EQ(sequence, 7);
            EXPECT_EQ(snac.requestId, 0x55u);
            reply.fields.assign(reader.Rest().begin(), reader.Rest().end());
        }
        replies.push_back(reply);
    }
    return replies;
}

// Full information in both request forms, and short information: the
// replies in their order, all but the last with the "more" flag.
TEST(OscarServerDirectory, InformationRequestsAnswerTheirReplySeriesLastWithoutMoreFlag)
{
    struct Case {
        const char* name;
        std::uint16_t request;
        std::vector<std::uint16_t> replies;
    };
    const Case cases[] = {
        {"full", 0x04B2, {0x00C8, 0x00D2, 0x00DC, 0x00E6, 0x00EB, 0x00F0, 0x00FA, 0x010E}},
        {"full, newer form", 0x04D0, {0x00C8, 0x00DC, 0x00EB, 0x010E, 0x00D2, 0x00E6, 0x00F0, 0x00FA}},
        {"short", 0x04BA, {0x0104}},
    };
    auto server = MakeServer();
    const ConnectionId demo = SignOnInMemory(*server, 100001, "demo");
    ASSERT_NE(demo, 0u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto replies = SendMeta(*server, demo, c.request, Writer().U32LE(100002).Take());
        ASSERT_EQ(replies.size(), c.replies.size());
        for (std::size_t i = 0; i < replies.size(); ++i) {
            EXPECT_EQ(replies[i].subtype, c.replies[i]);
            EXPECT_EQ(replies[i].fields[0], 0x0A);
            EXPECT_EQ(replies[i].flags & 1, i + 1 < replies.size() ? 1 : 0);
        }
        // Basic and short information start with the nickname.
        EXPECT_EQ(Bytes(replies[0].fields.begin() + 1, replies[0].fields.begin() + 10),
                  (Bytes{7, 0, 'F', 'r', 'i', 'e', 'n', 'd', 0}));
        const auto unknown = SendMeta(*server, demo, c.request, Writer().U32LE(424242).Take());
        ASSERT_EQ(unknown.size(), 1u);
        EXPECT_EQ(unknown[0].subtype, c.replies[0]);
        EXPECT_EQ(unknown[0].fields, Bytes{0x32});
    }
    // More information: age 34, gender male; short: auth flag, zero, gender.
    const auto full = SendMeta(*server, demo, 0x04B2, Writer().U32LE(100002).Take());
    EXPECT_EQ(Bytes(full[2].fields.begin() + 1, full[2].fields.begin() + 4), (Bytes{34, 0, 2}));
    const auto brief = SendMeta(*server, demo, 0x04BA, Writer().U32LE(100002).Take());
    EXPECT_EQ(Bytes(brief[0].fields.end() - 3, brief[0].fields.end()), (Bytes{0, 0, 2}));
}

TEST(OscarServerDirectory, SearchesAnswerHitsThenTheLastWithTheCountLeft)
{
    auto server = MakeServer();
    const ConnectionId demo = SignOnInMemory(*server, 100001, "demo");
    ASSERT_NE(demo, 0u);
    const auto byUin = SendMeta(*server, demo, 0x0569, Writer().U16LE(0x0136).U16LE(4).U32LE(100002).Take());
    ASSERT_EQ(byUin.size(), 1u);
    EXPECT_EQ(byUin[0].subtype, 0x01AE);
    Reader hit(byUin[0].fields);
    std::uint8_t result = 0;
    std::uint16_t length = 0;
    std::uint32_t uin = 0;
    ASSERT_TRUE(hit.U8(result) && hit.U16LE(length) && hit.U32LE(uin));
    EXPECT_EQ(uin, 100002u);
    EXPECT_EQ(hit.Remaining(), length - 4u + 4u);  // the record, then the count left

    // Male users: friend only. No criteria at all: everyone, echo included.
    const auto male = SendMeta(*server, demo, 0x055F, Writer().U16LE(0x017C).U16LE(1).U8(2).Take());
    ASSERT_EQ(male.size(), 1u);
    const auto everyone = SendMeta(*server, demo, 0x055F, ByteView());
    ASSERT_EQ(everyone.size(), 4u);
    EXPECT_EQ(everyone[0].subtype, 0x01A4);
    EXPECT_EQ(everyone[3].subtype, 0x01AE);

    Writer city;
    city.U16LE(0x0190).U16LE(7).U16LE(5).Append("shel").U8(0);
    const auto byCity = SendMeta(*server, demo, 0x055F, city.Data());
    ASSERT_EQ(byCity.size(), 1u);
    EXPECT_EQ(byCity[0].fields[0], 0x0A);
    const auto none = SendMeta(*server, demo, 0x055F, Writer().U16LE(0x0168).U16LE(4).U16LE(60).U16LE(70).Take());
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0].fields, Bytes{0x32});

    // Malformed and unknown requests are refused with 0x15/0x01.
    const auto cut = SendMeta(*server, demo, 0x055F, Writer().U16LE(0x0190).U16LE(9).Take());
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0].type, 0xFFFF);
    const auto unknown = SendMeta(*server, demo, 0x0123, ByteView());
    ASSERT_EQ(unknown.size(), 1u);
    EXPECT_EQ(unknown[0].fields, (Bytes{0x00, 0x08}));
}

// A minute without a cookie ends a connection on either port; a signed-on
// session may stay silent (keep-alives are the client's business).
TEST(OscarServerRobustness, ConnectionsThatNeverSignOnAreClosedAfterAMinute)
{
    AccountBook accounts;
    std::string error;
    std::vector<std::string> warnings;
    accounts.LoadText(oscartest::kTestAccounts, error, warnings);
    std::uint32_t now = 1000000;
    ServerConfig config;
    config.logSink = [](const std::string&) {};
    config.clock = [&now] { return now; };
    Server server(std::move(config), std::move(accounts), DataStore());
    const ConnectionId login = server.Open(PortKind::Login);
    const ConnectionId bos = server.Open(PortKind::Bos);
    Bytes hello;
    AppendFlap(hello, 1, 0, Writer().U32(1).Take());
    server.Receive(bos, hello);
    const ConnectionId session = SignOnInMemory(server, 100001, "demo");
    ASSERT_NE(session, 0u);
    now += kLoginTimeout;
    server.Tick();
    for (ConnectionId id : {login, bos, session})
        EXPECT_EQ(server.Find(id)->state, ConnectionState::Open) << id;
    now += 1;
    server.Tick();
    EXPECT_NE(server.Find(login)->state, ConnectionState::Open);
    EXPECT_NE(server.Find(bos)->state, ConnectionState::Open);
    EXPECT_EQ(server.Find(session)->state, ConnectionState::Open);
}

// Random bytes, and random SNACs with valid headers, on login and BOS
// connections: the server must neither crash nor let a bad client harm the
// other session (ASan/UBSan runs make this meaningful).
TEST(OscarServerRobustness, ArbitraryBytesNeverHurtTheServer)
{
    auto server = MakeServer();
    std::mt19937 random(1234);
    const std::uint16_t families[] = {0x0001, 0x0002, 0x0003, 0x0004, 0x0009, 0x0013, 0x0015};
    for (int round = 0; round < 300; ++round) {
        const ConnectionId peer = SignOnInMemory(*server, 100002, "friend");
        const ConnectionId bos = SignOnInMemory(*server, 100001, "demo");
        ASSERT_NE(bos, 0u);
        ASSERT_NE(peer, 0u);
        Bytes data(random() % 200);
        for (std::uint8_t& byte : data)
            byte = static_cast<std::uint8_t>(random());
        if (round % 2 == 0) {
            Bytes frame;
            AppendFlap(frame, 2, 0, SnacPayload(families[random() % std::size(families)],
                                                static_cast<std::uint16_t>(random() % 0x20), 0, 0, data));
            data = frame;
        }
        server->Receive(bos, data);
        TakeFrames(*server, bos);
        const ConnectionId login = server->Open(PortKind::Login);
        server->Receive(login, data);
        server->Close(login);
        const Connection* survivor = server->Find(peer);
        ASSERT_NE(survivor, nullptr);
        EXPECT_EQ(survivor->state, ConnectionState::Open);
        server->Close(bos);
        server->Close(peer);
    }
}

}  // namespace
}  // namespace oscarserver
