// What an append leaves on disk, byte for byte.
#include <sys/stat.h>

#include "store/MessageHistory.h"
#include "tests/store/history/HistoryFixture.h"

namespace historytest {
namespace {

class AppendFormatTest : public HistoryTest {};

TEST_F(AppendFormatTest, FirstAppendsCreateFolderTextAndIndex)
{
    auto history = MakeRef<MessageHistory>(u"123456", u"654321");
    ASSERT_TRUE(history->Append(Time(), u"654321", u"Hello"));

    struct stat info {};
    ASSERT_EQ(stat(Path("123456").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(history->TextPath(), Path("123456/654321_msg.txt"));
    EXPECT_EQ(history->IndexPath(), Path("123456/654321_idx.dat"));
    // Five characters: ten bytes of text at offset 2, then CR LF.
    EXPECT_EQ(ReadBytes(Path("123456/654321_msg.txt")), kBom + Utf16("Hello") + kCrLf);
    EXPECT_EQ(ReadBytes(Path("123456/654321_idx.dat")), kHeader + Record(2, 10, 1));

    // Sent by the user, from a sender that is no party, and without a sender.
    ASSERT_TRUE(history->Append(Time(6), u"123456", u"Hi"));
    ASSERT_TRUE(history->Append(Time(7), u"999", u""));
    ASSERT_TRUE(history->Append(Time(8), u"", u"abc"));
    EXPECT_EQ(ReadBytes(Path("123456/654321_msg.txt")),
              kBom + Utf16("Hello") + kCrLf + Utf16("Hi") + kCrLf + kCrLf + Utf16("abc") + kCrLf);
    EXPECT_EQ(ReadBytes(Path("123456/654321_idx.dat")),
              kHeader + Record(2, 10, 1) + Record(16, 4, 0, 6) + Record(24, 0, 0xFF, 7) + Record(28, 6, 0, 8));
    // Only a two-party conversation: no parties file.
    EXPECT_EQ(history->PartiesPath(), "");
}

TEST_F(AppendFormatTest, TextIsStoredAsUtf16WhateverItsCharacters)
{
    auto history = MakeRef<MessageHistory>(u"1", u"2");
    const WideString text = u"\u00e9\u4e2d\U0001F600";  // two BMP characters and a surrogate pair
    ASSERT_TRUE(history->Append(Time(), u"2", text));
    Bytes expected = kBom + B({0xE9, 0x00, 0x2D, 0x4E, 0x3D, 0xD8, 0x00, 0xDE}) + kCrLf;
    EXPECT_EQ(ReadBytes(Path("1/2_msg.txt")), expected);
    EXPECT_EQ(ReadBytes(Path("1/2_idx.dat")), kHeader + Record(2, 8, 1));
    auto page = history->Read(0, 1);
    ASSERT_EQ(page.size(), 1u);
    EXPECT_EQ(page[0].text, text);
}

TEST_F(AppendFormatTest, PartialIndexRecordIsCutBeforeTheNextRecord)
{
    auto history = MakeRef<MessageHistory>(u"1", u"2");
    ASSERT_TRUE(history->Append(Time(), u"2", u"one"));
    // Eight stray bytes of a record whose write was cut short: 40 bytes.
    WriteBytes(Path("1/2_idx.dat"), kHeader + Record(2, 6, 1) + B({1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_TRUE(history->Append(Time(6), u"2", u"two"));
    EXPECT_EQ(ReadBytes(Path("1/2_idx.dat")), kHeader + Record(2, 6, 1) + Record(12, 6, 1, 6));
    auto page = history->Read(0, 10);
    ASSERT_EQ(page.size(), 2u);
    EXPECT_EQ(Narrow(page[0].text), "two");
    EXPECT_EQ(Narrow(page[1].text), "one");
}

TEST_F(AppendFormatTest, IndexWithoutWholeHeaderIsStartedAfresh)
{
    // A first append that failed inside the header would otherwise leave the
    // next record in the header's place, where it is never read.
    ASSERT_EQ(mkdir(Path("1").c_str(), 0755), 0);
    WriteBytes(Path("1/2_idx.dat"), B({0x01, 0, 0, 0, 0}));
    auto history = MakeRef<MessageHistory>(u"1", u"2");
    ASSERT_TRUE(history->Append(Time(), u"2", u"x"));
    EXPECT_EQ(ReadBytes(Path("1/2_idx.dat")), kHeader + Record(2, 2, 1));
    EXPECT_EQ(history->Read(0, 10).size(), 1u);
}

TEST_F(AppendFormatTest, TextWithoutIndexRecordStaysHiddenAndLaterTextsAppendAfterIt)
{
    auto history = MakeRef<MessageHistory>(u"1", u"2");
    ASSERT_TRUE(history->Append(Time(), u"2", u"seen"));
    // A text whose record was never written (the append failed after it).
    WriteBytes(Path("1/2_msg.txt"), ReadBytes(Path("1/2_msg.txt")) + Utf16("lost") + kCrLf);
    ASSERT_TRUE(history->Append(Time(6), u"2", u"next"));
    EXPECT_EQ(ReadBytes(Path("1/2_idx.dat")), kHeader + Record(2, 8, 1) + Record(26, 8, 1, 6));
    auto page = history->Read(0, 10);
    ASSERT_EQ(page.size(), 2u);
    EXPECT_EQ(Narrow(page[0].text), "next");
    EXPECT_EQ(Narrow(page[1].text), "seen");
}

TEST_F(AppendFormatTest, MultiPartyConversationWritesPartiesFileOncePerChange)
{
    auto history = MakeRef<MessageHistory>(u"1", u"20");
    history->AddParty(u"300");
    history->SetConversationName(u"team");
    ASSERT_TRUE(history->Append(Time(), u"300", u"hey"));
    EXPECT_EQ(history->TextPath(), Path("1/team_msg.txt"));
    EXPECT_EQ(ReadBytes(Path("1/team_parties.txt")), kBom + Utf16("20") + kCrLf + Utf16("300") + kCrLf);
    EXPECT_EQ(ReadBytes(Path("1/team_idx.dat")), kHeader + Record(2, 6, 2));

    // Unchanged parties: the file is not written again.
    WriteBytes(Path("1/team_parties.txt"), "marker");
    ASSERT_TRUE(history->Append(Time(), u"20", u"yo"));
    EXPECT_EQ(ReadBytes(Path("1/team_parties.txt")), "marker");

    history->AddParty(u"4000");
    ASSERT_TRUE(history->Append(Time(), u"4000", u"hi"));
    EXPECT_EQ(ReadBytes(Path("1/team_parties.txt")),
              kBom + Utf16("20") + kCrLf + Utf16("300") + kCrLf + Utf16("4000") + kCrLf);
}

TEST_F(AppendFormatTest, FailedPartiesWriteIsRetriedByTheNextAppend)
{
    auto history = MakeRef<MessageHistory>(u"1", u"20");
    history->AddParty(u"300");
    history->SetConversationName(u"team");
    // A folder where the parties file should be makes its open fail.
    ASSERT_EQ(mkdir(Path("1").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(Path("1/team_parties.txt").c_str(), 0755), 0);
    EXPECT_FALSE(history->Append(Time(), u"300", u"lost"));
    ASSERT_EQ(rmdir(Path("1/team_parties.txt").c_str()), 0);
    ASSERT_TRUE(history->Append(Time(), u"300", u"kept"));
    EXPECT_EQ(ReadBytes(Path("1/team_parties.txt")), kBom + Utf16("20") + kCrLf + Utf16("300") + kCrLf);
}

TEST_F(AppendFormatTest, NamesThatAreNotPlainFileNamesAreRefused)
{
    struct Case {
        const char* name;
        std::u16string own;
        std::u16string contact;
    } cases[] = {
        {"contact climbs out", u"1", u"../escape"},
        {"contact is a path", u"1", u"a/b"},
        {"backslash", u"1", u"a\\b"},
        {"own UIN is dot-dot", u"..", u"2"},
        {"empty contact", u"1", u""},
        {"zero character", u"1", std::u16string(u"2\0x", 3)},
        {"contact UIN with letters", u"1", u"12ab"},
        {"own UIN of 13 digits", u"1234567890123", u"2"},
    };
    for (const Case& c : cases) {
        auto history = MakeRef<MessageHistory>(c.own, c.contact);
        EXPECT_FALSE(history->Append(Time(), u"", u"text")) << c.name;
        EXPECT_TRUE(history->Read(0, 10).empty()) << c.name;
    }
    EXPECT_EQ(std::system(("test -z \"$(ls -A '" + m_root + "')\"").c_str()), 0) << "nothing written";
}

TEST_F(AppendFormatTest, AppendFailsWhenTheFolderCannotBeCreated)
{
    WriteBytes(Path("1"), "a file where the folder belongs");
    auto history = MakeRef<MessageHistory>(u"1", u"2");
    EXPECT_FALSE(history->Append(Time(), u"2", u"text"));
}

}  // namespace
}  // namespace historytest
