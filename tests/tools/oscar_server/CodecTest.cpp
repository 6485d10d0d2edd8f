// oscar-server's byte-level pieces: frame intake, SNAC headers, roasting,
// UINs, the list's wire form and its files, and the accounts file.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "tools/oscar-server/Accounts.h"
#include "tools/oscar-server/FrameIntake.h"
#include "tools/oscar-server/Md5.h"
#include "tools/oscar-server/Storage.h"

namespace oscarserver {
namespace {

struct IntakeCase {
    const char* name;
    Bytes input;
    bool ok;
    std::size_t frames;
};

TEST(OscarServerIntake, CutsFramesAndRefusesLostFraming)
{
    const IntakeCase cases[] = {
        {"empty", {}, true, 0},
        {"half a header", {0x2A, 0x02, 0x00}, true, 0},
        {"empty keep-alive", {0x2A, 0x05, 0x00, 0x01, 0x00, 0x00}, true, 1},
        {"payload still coming", {0x2A, 0x02, 0x00, 0x01, 0x00, 0x04, 0x01}, true, 0},
        {"two frames", {0x2A, 0x01, 0, 1, 0, 1, 9, 0x2A, 0x04, 0, 2, 0, 0}, true, 2},
        {"garbage start", {'G', 'E', 'T', ' '}, false, 0},
        {"channel 0", {0x2A, 0x00}, false, 0},
        {"channel 6", {0x2A, 0x06, 0, 0, 0, 0}, false, 0},
        {"garbage after a frame", {0x2A, 0x05, 0, 0, 0, 0, 0x00}, false, 1},
    };
    for (const IntakeCase& test : cases) {
        FrameIntake intake;
        EXPECT_EQ(intake.Feed(test.input), test.ok) << test.name;
        std::size_t frames = 0;
        Frame frame;
        while (intake.Next(frame))
            ++frames;
        EXPECT_EQ(frames, test.frames) << test.name;
    }
}

TEST(OscarServerIntake, LargestFrameArrivesByteByByteAndBufferStaysBounded)
{
    Bytes stream;
    const Bytes payload(0xFFFF, 0x55);
    AppendFlap(stream, 2, 7, payload);
    FrameIntake intake;
    for (std::size_t i = 0; i + 1 < stream.size(); i += 4096)
        ASSERT_TRUE(intake.Feed(ByteView(stream).subspan(i, std::min<std::size_t>(4096, stream.size() - 1 - i))));
    EXPECT_LE(intake.Buffered(), kFlapHeaderSize + kFlapMaxPayload);
    Frame frame;
    EXPECT_FALSE(intake.Next(frame));
    ASSERT_TRUE(intake.Feed(ByteView(stream).last(1)));
    ASSERT_TRUE(intake.Next(frame));
    EXPECT_EQ(frame.payload.size(), 0xFFFFu);
    EXPECT_EQ(frame.sequence, 7);
    EXPECT_EQ(intake.Buffered(), 0u);
}

TEST(OscarServerWire, SnacHeaderSkipsVersionPrefixAndRefusesShortOnes)
{
    Snac snac;
    EXPECT_FALSE(ParseSnac(Bytes{0, 1, 0, 2, 0, 0, 0, 0, 0}, snac));
    const Bytes prefixed = {0, 4, 0, 6, 0x80, 0, 0, 0, 0, 9, 0, 2, 0xAA, 0xBB, 0x42};
    ASSERT_TRUE(ParseSnac(prefixed, snac));
    EXPECT_EQ(snac.requestId, 9u);
    ASSERT_EQ(snac.data.size(), 1u);
    EXPECT_EQ(snac.data[0], 0x42);
    const Bytes prefixTooLong = {0, 4, 0, 6, 0x80, 0, 0, 0, 0, 9, 0, 9, 0xAA};
    EXPECT_FALSE(ParseSnac(prefixTooLong, snac));
}

TEST(OscarServerWire, RoastingUsesTheStandardTableAndIsItsOwnInverse)
{
    EXPECT_EQ(Roast(View("demo")), (Bytes{'d' ^ 0xF3, 'e' ^ 0x26, 'm' ^ 0x81, 'o' ^ 0xC4}));
    const std::string long_password = "a password of more than sixteen bytes";
    EXPECT_EQ(Text(Roast(Roast(View(long_password)))), long_password);
}

// The test suite of RFC 1321, whole and fed one byte at a time (which
// crosses every block boundary).
TEST(OscarServerWire, Md5MatchesTheReferenceDigests)
{
    const std::pair<std::string, std::string> vectors[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [text, digest] : vectors) {
        EXPECT_EQ(ToHex(Md5Of(View(text))), digest) << text;
        Md5 pieces;
        for (char c : text)
            pieces.Update(std::string_view(&c, 1));
        EXPECT_EQ(ToHex(pieces.Finish()), digest) << text;
    }
}

TEST(OscarServerWire, UinsAreDecimalAndBelowTwoToThe32)
{
    std::uint32_t uin = 0;
    EXPECT_TRUE(ParseUin("4294967295", uin));
    EXPECT_EQ(uin, 4294967295u);
    for (const char* bad : {"", "0", "4294967296", "12a", "-5", "12345678901"})
        EXPECT_FALSE(ParseUin(bad, uin)) << bad;
}

TEST(OscarServerWire, TlvRunStopsAtAnItemThatRunsPastTheEnd)
{
    const Bytes data = {0, 1, 0, 1, 7, 0, 2, 0, 9, 1};
    Reader reader(data);
    std::vector<Tlv> items;
    EXPECT_FALSE(ReadTlvs(reader, items));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].value[0], 7);
}

TEST(OscarServerList, PartsCarryEveryItemOnceAndTheDateAtTheEnd)
{
    ServerList list = ServerList::Initial(100001, 1000);
    for (std::uint16_t i = 0; i < 40; ++i)
        list.items.push_back({std::to_string(300000 + i), 1, static_cast<std::uint16_t>(200 + i), 0, {}});
    const std::vector<Bytes> parts = list.EncodeParts(100);
    ASSERT_GT(parts.size(), 1u);
    std::size_t items = 0;
    for (const Bytes& part : parts) {
        Reader reader(part);
        std::uint8_t version = 1;
        std::uint16_t count = 0;
        ASSERT_TRUE(reader.U8(version) && reader.U16(count));
        for (std::uint16_t i = 0; i < count; ++i) {
            ListItem item;
            ASSERT_TRUE(ServerList::DecodeItem(reader, item));
        }
        std::uint32_t date = 0;
        ASSERT_TRUE(reader.U32(date) && reader.AtEnd());
        EXPECT_EQ(date, 1000u);
        items += count;
    }
    EXPECT_EQ(items, list.items.size());
    list.Touch(900);  // a clock behind the date still moves the date on
    EXPECT_EQ(list.date, 1001u);
    EXPECT_EQ(list.Privacy(), kPrivacyAllowAll);
}

class OscarServerStorage : public ::testing::Test {
protected:
    void SetUp() override
    {
        char folder[] = "/tmp/oscar-server-store-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        m_folder = folder;
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }
    std::string m_folder;
};

TEST_F(OscarServerStorage, ListAndOfflineMessagesRoundTrip)
{
    DataStore store(m_folder);
    ServerList list = ServerList::Initial(100001, 12345);
    list.items.push_back({"name with spaces", 1, 77, 0, {0x00, 0x66, 0x00, 0x00}});
    ASSERT_TRUE(store.SaveList(100001, list));
    ServerList loaded;
    ASSERT_TRUE(store.LoadList(100001, loaded));
    EXPECT_EQ(loaded.date, 12345u);
    ASSERT_EQ(loaded.items.size(), list.items.size());
    EXPECT_EQ(loaded.items.back().name, "name with spaces");
    EXPECT_EQ(loaded.items.back().data, list.items.back().data);

    const std::vector<OfflineMessage> messages = {{100002, 99, 1, 0, {'h', 'i'}}, {100003, 100, 4, 3, {}}};
    ASSERT_TRUE(store.SaveOffline(100001, messages));
    const std::vector<OfflineMessage> back = store.LoadOffline(100001);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].text, messages[0].text);
    EXPECT_EQ(back[1].flags, 3);
    EXPECT_FALSE(std::filesystem::exists(m_folder + "/100001.list.tmp"));
}

TEST_F(OscarServerStorage, DamagedLinesAreSkipped)
{
    std::ofstream(m_folder + "/100001.list") << "date 5\n"
                                                "item 0 1 50 313030303032 -\n"
                                                "item 0 1 50 313030303033 -\n"   // same ids: dropped
                                                "item 0 1 99999 3130 -\n"        // id too large
                                                "item 0 1 51 3130303 -\n"        // odd hex
                                                "item zero\n"
                                                "nonsense line\n";
    std::ofstream(m_folder + "/100001.offline") << "msg 100002 1 1 0 6869\nmsg 100002 x 1 0 6869\nmsg\n";
    DataStore store(m_folder);
    ServerList list;
    ASSERT_TRUE(store.LoadList(100001, list));
    ASSERT_EQ(list.items.size(), 1u);
    EXPECT_EQ(list.items[0].name, "100002");
    EXPECT_EQ(store.LoadOffline(100001).size(), 1u);
    std::ofstream(m_folder + "/100002.list") << "item 0 1 50 3130 -\n";  // no date: not a list
    EXPECT_FALSE(store.LoadList(100002, list));
}

TEST(OscarServerAccounts, ReadsDetailsAndSkipsBadEntries)
{
    AccountBook book;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(book.LoadText("<accounts>"
                              "<account uin='100001' password='p' nick='N' gender='male' age='41' "
                              "birthday='1984-02-29' auth='1'/>"
                              "<account uin='100001' password='again'/>"
                              "<account uin='abc' password='p'/>"
                              "<account uin='100002'/>"
                              "<account uin='100100' password='echo'/>"
                              "</accounts>",
                              error, warnings));
    EXPECT_EQ(warnings.size(), 4u);
    const Account* account = book.Find(100001);
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(account->password, "p");
    EXPECT_EQ(account->gender, 2);
    EXPECT_EQ(account->birthYear, 1984);
    EXPECT_EQ(account->birthDay, 29);
    EXPECT_TRUE(account->authRequired);
    ASSERT_NE(book.Find(kEchoUin), nullptr);
    EXPECT_TRUE(book.Find(kEchoUin)->echo);
    EXPECT_FALSE(book.LoadText("<accounts", error, warnings));
    EXPECT_FALSE(book.LoadText("<other/>", error, warnings));
}

TEST(OscarServerAccounts, ShippedAccountsFileLoads)
{
    AccountBook book;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(book.LoadFile(OSCAR_SERVER_ACCOUNTS, error, warnings)) << error;
    EXPECT_TRUE(warnings.empty());
    EXPECT_NE(book.Find(100001), nullptr);
}

}  // namespace
}  // namespace oscarserver
