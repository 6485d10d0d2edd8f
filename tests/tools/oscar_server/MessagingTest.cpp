// oscar-server's handling of messages without sockets: when a message is
// acknowledged, that the acknowledgement follows delivery or storage, and
// what text an offline message keeps.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "tests/common/TestSupport.h"
#include "tests/tools/oscar_server/RawClient.h"
#include "tools/oscar-server/InMemorySignOn.h"

namespace oscarserver {
namespace {

using oscartest::kAskAck;
using oscartest::kAskBoth;
using oscartest::kAskNothing;
using oscartest::kAskStore;

// A server keeping its data in a private folder, whose log tells the order of every
// SNAC it sends. At each acknowledgement the sink notes whether the message
// was already written to the recipient or stored in the recipient's file.
struct LoggedServer {
    LoggedServer() : offlineFile(folder / "100002.offline")
    {
        AccountBook accounts;
        std::string error;
        std::vector<std::string> warnings;
        accounts.LoadText(oscartest::kTestAccounts, error, warnings);
        ServerConfig config;
        config.log = true;
        config.logSink = [this](const std::string& line) { Note(line); };
        server = std::make_unique<Server>(std::move(config), std::move(accounts), DataStore(folder.Path()));
        demo = SignOnInMemory(*server, 100001, "demo");
    }

    void Note(const std::string& line)
    {
        if (line.rfind("out", 0) != 0)
            return;
        if (line.find("uin=100002 0x04/0x07") != std::string::npos)
            events.push_back("deliver");
        if (line.find("uin=100001 0x04/0x01") != std::string::npos)
            events.push_back("error");
        if (line.find("uin=100001 0x04/0x0C") != std::string::npos) {
            std::ifstream file(offlineFile);
            std::string stored((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            events.push_back(stored.find("msg 100001") != std::string::npos ? "stored+ack" : "ack");
        }
    }

    testsupport::TempFolder folder{"oscar-server-messaging"};
    std::string offlineFile;
    std::unique_ptr<Server> server;
    ConnectionId demo = 0;  // 100001, signed on
    std::vector<std::string> events;
};

void Send(Server& server, ConnectionId id, std::uint16_t family, std::uint16_t subtype, ByteView data)
{
    Bytes frame;
    AppendFlap(frame, 2, 0, SnacPayload(family, subtype, 0, 0x42, data));
    server.Receive(id, frame);
}

TEST(OscarServerMessaging, AcknowledgesOnlyOnRequestAndOnlyAfterDeliveryOrStorage)
{
    struct Case {
        const char* name;
        bool recipientOnline;
        unsigned asks;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"online, nothing asked", true, kAskNothing, {"deliver"}},
        {"online, store asked", true, kAskStore, {"deliver"}},
        {"online, ack asked", true, kAskAck, {"deliver", "ack"}},
        {"online, both asked", true, kAskBoth, {"deliver", "ack"}},
        {"offline, nothing asked", false, kAskNothing, {"error"}},
        {"offline, store asked", false, kAskStore, {}},
        {"offline, ack asked", false, kAskAck, {"error"}},
        {"offline, both asked", false, kAskBoth, {"stored+ack"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoggedServer logged;
        Server& server = *logged.server;
        ASSERT_NE(logged.demo, 0u);
        if (c.recipientOnline) {
            ASSERT_NE(SignOnInMemory(server, 100002, "friend"), 0u);
        }
        logged.events.clear();
        Send(server, logged.demo, 0x0004, 0x0006, oscartest::Channel1Message("cookie00", 100002, "hi", c.asks));
        EXPECT_EQ(logged.events, c.events);
        const bool stored = std::filesystem::exists(logged.offlineFile);
        EXPECT_EQ(stored, !c.recipientOnline && (c.asks & kAskStore) != 0);
    }
}

// The text of the first offline message (reply 0x0041) in the frames.
Bytes OfflineText(const std::vector<Frame>& frames)
{
    for (const Frame& frame : frames) {
        Snac snac;
        std::uint16_t item = 0, length = 0, rest = 0, type = 0, sequence = 0, textLength = 0;
        std::uint32_t owner = 0;
        ByteView text;
        if (!ParseSnac(frame.payload, snac) || snac.family != 0x0015 || snac.subtype != 0x0003)
            continue;
        Reader meta(snac.data);
        if (meta.U16(item) && meta.U16(length) && meta.U16LE(rest) && meta.U32LE(owner) && meta.U16LE(type) &&
            meta.U16LE(sequence) && type == 0x0041 && meta.Skip(4 + 6 + 2) && meta.U16LE(textLength) &&
            textLength > 0 && meta.Take(textLength - 1u, text))
            return Bytes(text.begin(), text.end());
    }
    return {0xFF};
}

TEST(OscarServerMessaging, OfflineTextSentAsUnicodeComesBackAsUtf8AndEightBitTextAsSent)
{
    struct Case {
        const char* name;
        std::uint16_t charset;
        std::string sent;
        std::string delivered;
    };
    const Case cases[] = {
        {"ASCII as Unicode", 2, std::string("\0h\0i", 4), "hi"},
        {"umlaut and euro", 2, std::string("\0G\0\xFC\x20\xAC", 6), "G\xC3\xBC\xE2\x82\xAC"},
        {"surrogate pair", 2, std::string("\xD8\x3D\xDE\x00", 4), "\xF0\x9F\x98\x80"},
        {"unpaired surrogate and odd byte", 2, std::string("\xDC\x00\0a\x41", 5),
         "\xEF\xBF\xBD" "a\xEF\xBF\xBD"},
        {"8-bit text", 0, "\xE9t\xE9", "\xE9t\xE9"},
        {"8-bit text, other set", 3, "\xC0\xE1", "\xC0\xE1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoggedServer logged;
        Server& server = *logged.server;
        ASSERT_NE(logged.demo, 0u);
        Send(server, logged.demo, 0x0004, 0x0006,
             oscartest::Channel1Message("cookie00", 100002, c.sent, kAskStore, c.charset));
        const ConnectionId other = SignOnInMemory(server, 100002, "friend");
        ASSERT_NE(other, 0u);
        Send(server, other, 0x0015, 0x0002, oscartest::MetaRequest(100002, 0x003C, 2, ByteView()));
        EXPECT_EQ(OfflineText(TakeFrames(server, other)), Bytes(c.delivered.begin(), c.delivered.end()));
    }
}

}  // namespace
}  // namespace oscarserver
