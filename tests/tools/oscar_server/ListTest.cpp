// oscar-server's server-stored list over sockets: download, date check,
// bracketed changes, the added-you notice, authorisation and persistence.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "tests/common/TestSupport.h"
#include "tests/tools/oscar_server/RawClient.h"

namespace oscartest {
namespace {

using oscarserver::Reader;
using oscarserver::Writer;

// Date and count of the list, from the last 0x13/0x06 part.
std::pair<std::uint32_t, std::uint16_t> DownloadList(RawClient& client, std::size_t* parts = nullptr,
                                                     std::size_t* items = nullptr)
{
    client.SendSnac(0x0013, 0x0004, 4, ByteView());
    ReceivedSnac part;
    std::size_t partCount = 0;
    std::size_t itemCount = 0;
    std::uint32_t date = 0;
    while (client.WaitSnac(0x0013, 0x0006, part)) {
        ++partCount;
        Reader reader(part.data);
        std::uint8_t version = 0;
        std::uint16_t count = 0;
        reader.U8(version);
        reader.U16(count);
        itemCount += count;
        Reader tail(ByteView(part.data).last(4));
        tail.U32(date);
        if ((part.flags & 1) == 0)
            break;
    }
    if (parts != nullptr)
        *parts = partCount;
    if (items != nullptr)
        *items = itemCount;
    return {date, static_cast<std::uint16_t>(itemCount)};
}

TEST(OscarServerList, CurrentDateAndCountGetUpToDate)
{
    ServerHarness server;
    RawClient demo;
    ASSERT_TRUE(demo.SignOn(server, 100001, "demo"));
    const auto [date, count] = DownloadList(demo);
    EXPECT_EQ(count, 4);  // master group, General, privacy item, echo contact

    demo.SendSnac(0x0013, 0x0005, 0x00010005, Writer().U32(date).U16(count).Take());
    ReceivedSnac reply;
    ASSERT_TRUE(demo.WaitSnac(0x0013, 0x000F, reply));
    EXPECT_EQ(reply.data, Writer().U32(date).U16(count).Take());
    demo.SendSnac(0x0013, 0x0005, 0x00010005, Writer().U32(date).U16(count + 1).Take());
    EXPECT_TRUE(demo.WaitSnac(0x0013, 0x0006, reply));
}

TEST(OscarServerList, ChangesAreAcknowledgedPerItemAndNoticedByTheAddedUser)
{
    ServerHarness server;
    RawClient demo;
    RawClient other;
    ASSERT_TRUE(demo.SignOn(server, 100001, "demo"));
    ASSERT_TRUE(other.SignOn(server, 100002, "friend"));
    const auto before = DownloadList(demo);

    demo.SendSnac(0x0013, 0x0011, 0x11, ByteView());
    Bytes adds = ListItemBytes("100002", 1, 50, 0, Writer().Tlv(0x0131, "Frank").Take());
    const Bytes duplicate = ListItemBytes("100002", 1, 50, 0, ByteView());
    const Bytes shyWithoutAuth = ListItemBytes("100003", 1, 51, 0, ByteView());
    const Bytes notAUin = ListItemBytes("bob", 1, 52, 0, ByteView());
    adds.insert(adds.end(), duplicate.begin(), duplicate.end());
    adds.insert(adds.end(), shyWithoutAuth.begin(), shyWithoutAuth.end());
    adds.insert(adds.end(), notAUin.begin(), notAUin.end());
    demo.SendSnac(0x0013, 0x0008, 0x08, adds);
    ReceivedSnac ack;
    ASSERT_TRUE(demo.WaitSnac(0x0013, 0x000E, ack));
    EXPECT_EQ(ack.data, (Bytes{0, 0, 0, 3, 0, 0x0E, 0, 0x0A}));
    EXPECT_EQ(ack.requestId, 8u);
    ReceivedSnac presence;
    EXPECT_TRUE(demo.WaitSnac(0x0003, 0x000B, presence));  // friend, online, follows the ack

    // Updating and deleting what is not there is refused with 2.
    demo.SendSnac(0x0013, 0x0009, 0x09, ListItemBytes("100003", 1, 60, 0, ByteView()));
    ASSERT_TRUE(demo.WaitSnac(0x0013, 0x000E, ack));
    EXPECT_EQ(ack.data, (Bytes{0, 2}));
    demo.SendSnac(0x0013, 0x0012, 0x12, ByteView());

    ReceivedSnac added;
    ASSERT_TRUE(other.WaitSnac(0x0013, 0x001C, added));
    EXPECT_EQ(added.data, Writer().ByteString("100001").Take());

    const auto after = DownloadList(demo);
    EXPECT_EQ(after.second, before.second + 1);
    EXPECT_GT(after.first, before.first);

    // Deleting the contact takes its presence away.
    demo.SendSnac(0x0013, 0x000A, 0x0A, ListItemBytes("100002", 1, 50, 0, ByteView()));
    ASSERT_TRUE(demo.WaitSnac(0x0013, 0x000E, ack));
    EXPECT_EQ(ack.data, (Bytes{0, 0}));
    EXPECT_TRUE(demo.WaitSnac(0x0003, 0x000C, presence));
}

TEST(OscarServerList, AuthorisationRequestAndReplyAreRelayed)
{
    ServerHarness server;
    RawClient demo;
    RawClient shy;
    ASSERT_TRUE(demo.SignOn(server, 100001, "demo"));
    ASSERT_TRUE(shy.SignOn(server, 100003, "shy"));
    demo.SendSnac(0x0013, 0x0018, 1, Writer().ByteString("100003").U16(6).Append("please").U16(0).Take());
    ReceivedSnac request;
    ASSERT_TRUE(shy.WaitSnac(0x0013, 0x0019, request));
    EXPECT_EQ(request.data, Writer().ByteString("100001").U16(6).Append("please").U16(0).Take());
    shy.SendSnac(0x0013, 0x001A, 2, Writer().ByteString("100001").U8(1).U16(0).Take());
    ReceivedSnac reply;
    ASSERT_TRUE(demo.WaitSnac(0x0013, 0x001B, reply));
    EXPECT_EQ(reply.data, Writer().ByteString("100003").U8(1).U16(0).Take());
}

TEST(OscarServerList, InvisibilityFollowsStatusAndPrivacyItem)
{
    ServerHarness server;
    RawClient demo;
    RawClient other;
    ASSERT_TRUE(demo.SignOn(server, 100001, "demo"));
    ASSERT_TRUE(other.SignOn(server, 100002, "friend"));
    other.SendSnac(0x0003, 0x0004, 4, Writer().ByteString("100001").Take());
    ReceivedSnac presence;
    ASSERT_TRUE(other.WaitSnac(0x0003, 0x000B, presence));

    // Demo goes invisible: friend sees it go offline; back to online: online.
    demo.SendSnac(0x0001, 0x001E, 1, Writer().U16(0x0006).U16(4).U16(0).U16(0x0100).Take());
    ASSERT_TRUE(other.WaitSnac(0x0003, 0x000C, presence));
    demo.SendSnac(0x0001, 0x001E, 2, Writer().U16(0x0006).U16(4).U16(0).U16(0x0000).Take());
    ASSERT_TRUE(other.WaitSnac(0x0003, 0x000B, presence));

    // Privacy "permit list only" (3) with an empty permit list hides demo too.
    demo.SendSnac(0x0013, 0x0009, 3, ListItemBytes("", 0, 2, 4, Writer().TlvU8(0x00CA, 3).Take()));
    ASSERT_TRUE(other.WaitSnac(0x0003, 0x000C, presence));
}

// A client that goes online before it asks for its list hears about the
// contacts on it only once it activates the list; others see it online from
// client ready on.
TEST(OscarServerList, ContactsPresenceStartsWithListActivationNotClientReady)
{
    testsupport::TempFolder folder("oscar-server-activate");
    ASSERT_TRUE(folder.Ok());
    std::ofstream(folder / "100001.list") << "date 1000\nitem 1 1 0 " << oscarserver::ToHex(oscarserver::View("All"))
                                          << " -\nitem 0 1 7 " << oscarserver::ToHex(oscarserver::View("100002"))
                                          << " -\n";
    ServerHarness server(folder.Path());
    RawClient other;
    ASSERT_TRUE(other.SignOn(server, 100002, "friend"));
    other.SendSnac(0x0003, 0x0004, 4, Writer().ByteString("100001").Take());

    RawClient demo;
    const auto login = demo.Login(server.LoginPort(), "100001", "demo");
    ASSERT_EQ(login.count(0x0006), 1u);
    ASSERT_TRUE(demo.OpenBos(server, login.at(0x0006)));
    ReceivedSnac snac;
    demo.SendSnac(0x0001, 0x001E, 0x1E, Writer().U16(0x0006).U16(4).U32(0).Take());
    demo.SendSnac(0x0001, 0x0002, 2, ByteView());
    ASSERT_TRUE(other.WaitSnac(0x0003, 0x000B, snac));  // demo is online for others

    EXPECT_TRUE(demo.NoSnac(0x0003, 0x000B));
    std::size_t items = 0;
    DownloadList(demo, nullptr, &items);
    EXPECT_EQ(items, 2u);
    EXPECT_TRUE(demo.NoSnac(0x0003, 0x000B));
    demo.SendSnac(0x0013, 0x0007, 7, ByteView());
    ASSERT_TRUE(demo.WaitSnac(0x0003, 0x000B, snac));
    Reader reader(snac.data);
    std::string uin;
    ASSERT_TRUE(reader.ByteString(uin));
    EXPECT_EQ(uin, "100002");
}

TEST(OscarServerList, LargeListIsSplitAndSurvivesARestart)
{
    char folder[] = "/tmp/oscar-server-test-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    std::uint32_t dateBefore = 0;
    {
        ServerHarness server(folder, 200);
        RawClient demo;
        ASSERT_TRUE(demo.SignOn(server, 100001, "demo"));
        Bytes adds;
        for (std::uint16_t i = 0; i < 30; ++i) {
            const Bytes item = ListItemBytes(std::to_string(200000 + i), 1, static_cast<std::uint16_t>(100 + i), 0,
                                             Writer().Tlv(0x0131, "Someone").Take());
            adds.insert(adds.end(), item.begin(), item.end());
        }
        demo.SendSnac(0x0013, 0x0008, 8, adds);
        ReceivedSnac ack;
        ASSERT_TRUE(demo.WaitSnac(0x0013, 0x000E, ack));
        EXPECT_EQ(ack.data, Bytes(60, 0));
        // An offline message is kept on disk as well.
        demo.SendSnac(0x0004, 0x0006, 9, Channel1Message("cookie07", 100002, "after restart", kAskBoth));
        ASSERT_TRUE(demo.WaitSnac(0x0004, 0x000C, ack));
        dateBefore = DownloadList(demo).first;
    }
    ServerHarness restarted(folder, 200);
    RawClient demo;
    ASSERT_TRUE(demo.SignOn(restarted, 100001, "demo"));
    std::size_t parts = 0;
    std::size_t items = 0;
    EXPECT_EQ(DownloadList(demo, &parts, &items).first, dateBefore);
    EXPECT_EQ(items, 34u);
    EXPECT_GT(parts, 1u);

    RawClient other;
    ASSERT_TRUE(other.SignOn(restarted, 100002, "friend"));
    other.SendSnac(0x0015, 0x0002, 5, MetaRequest(100002, 0x003C, 1, ByteView()));
    ReceivedSnac reply;
    ASSERT_TRUE(other.WaitSnac(0x0015, 0x0003, reply));
    EXPECT_EQ(reply.data[10], 0x41);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace oscartest
