// Reading pages back, newest first, from good and damaged files.
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "store/MessageHistory.h"
#include "tests/store/history/HistoryFixture.h"

namespace historytest {
namespace {

class ReadTest : public HistoryTest {
protected:
    std::vector<std::string> Page(std::int32_t skip, std::int32_t count)
    {
        std::vector<std::string> texts;
        for (const HistoryMessage& message : m_history->Read(skip, count))
            texts.push_back(Narrow(message.text));
        return texts;
    }

    RefPtr<MessageHistory> m_history = MakeRef<MessageHistory>(u"1", u"2");
};

using Texts = std::vector<std::string>;

TEST_F(ReadTest, PagesComeNewestFirstAfterTheSkippedOnes)
{
    ASSERT_TRUE(m_history->Append(Time(1), u"2", u"first"));
    ASSERT_TRUE(m_history->Append(Time(2), u"1", u"second"));
    ASSERT_TRUE(m_history->Append(Time(3), u"2", u"third"));

    EXPECT_EQ(Page(0, 10), (Texts{"third", "second", "first"}));
    EXPECT_EQ(Page(1, 1), (Texts{"second"}));
    EXPECT_EQ(Page(2, 5), (Texts{"first"}));
    EXPECT_EQ(Page(3, 10), Texts{});
    EXPECT_EQ(Page(1000, 10), Texts{});
    EXPECT_EQ(Page(0, 0), Texts{});
    EXPECT_EQ(Page(0, -1), Texts{});
    EXPECT_EQ(Page(-5, 1), (Texts{"third"}));

    auto page = m_history->Read(0, 2);
    ASSERT_EQ(page.size(), 2u);
    EXPECT_EQ(page[0].party, 1);
    EXPECT_EQ(page[1].party, 0);
    EXPECT_EQ(page[0].time.wYear, 2024);
    EXPECT_EQ(page[0].time.wMonth, 3);
    EXPECT_EQ(page[0].time.wDay, 9);
    EXPECT_EQ(page[0].time.wHour, 21);
    EXPECT_EQ(page[0].time.wMinute, 7);
    EXPECT_EQ(page[0].time.wSecond, 3);
    EXPECT_EQ(page[0].time.wMilliseconds, 0);
}

TEST_F(ReadTest, MissingFilesGiveNothing)
{
    EXPECT_EQ(Page(0, 10), Texts{});
    ASSERT_TRUE(m_history->Append(Time(), u"2", u"x"));
    ASSERT_EQ(std::remove(Path("1/2_msg.txt").c_str()), 0);
    EXPECT_EQ(Page(0, 10), Texts{});
}

// Damaged files as another program, a crash or a full disk may leave them.
// Every case is read, then appended to: the good messages must survive both.
TEST_F(ReadTest, DamagedFilesLoseOnlyTheDamagedRecords)
{
    const Bytes text = kBom + Utf16("aa") + kCrLf + Utf16("bbb") + kCrLf;  // "aa" at 2, "bbb" at 10; 20 bytes
    struct Case {
        const char* name;
        Bytes text;
        Bytes index;
        Texts expected;
    } cases[] = {
        {"good", text, kHeader + Record(2, 4) + Record(10, 6), {"bbb", "aa"}},
        {"offset past the end", text, kHeader + Record(2, 4) + Record(21, 0), {"aa"}},
        {"offset plus length past the end", text, kHeader + Record(2, 4) + Record(10, 11), {"aa"}},
        {"length wraps 32 bits", text, kHeader + Record(2, 4) + Record(10, 0xFFFFFFF8u), {"aa"}},
        {"offset at the very end", text, kHeader + Record(20, 0), {""}},
        {"index tail not whole", text, kHeader + Record(2, 4) + Record(10, 6) + B({9, 9, 9}), {"bbb", "aa"}},
        {"index of header only", text, kHeader, {}},
        {"index shorter than a header", text, B({1, 0, 0}), {}},
        {"empty index", text, Bytes(), {}},
        {"text without byte-order mark", Utf16("aa") + kCrLf, kHeader + Record(0, 4), {"aa"}},
        {"zero character ends the text", kBom + Utf16("ab") + B({0, 0}) + Utf16("c"), kHeader + Record(2, 8), {"ab"}},
        {"odd length drops the last byte", text, kHeader + Record(10, 5), {"bb"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mkdir(Path("1").c_str(), 0755);  // exists after the first case
        WriteBytes(Path("1/2_msg.txt"), c.text);
        WriteBytes(Path("1/2_idx.dat"), c.index);
        EXPECT_EQ(Page(0, 10), c.expected);

        // A damaged record may point into the new text once it is there, so
        // only the new message and the good ones are certain.
        ASSERT_TRUE(m_history->Append(Time(), u"2", u"new"));
        Texts after = Page(0, 10);
        ASSERT_FALSE(after.empty());
        EXPECT_EQ(after.front(), "new");
        for (const std::string& kept : c.expected)
            EXPECT_NE(std::find(after.begin() + 1, after.end(), kept), after.end()) << kept;
    }
}

TEST_F(ReadTest, DamagedRecordsDoNotCountAgainstThePage)
{
    ASSERT_TRUE(m_history->Append(Time(), u"2", u"old"));
    ASSERT_TRUE(m_history->Append(Time(), u"2", u"mid"));
    Bytes index = ReadBytes(Path("1/2_idx.dat"));
    // Two records pointing nowhere after the good ones.
    WriteBytes(Path("1/2_idx.dat"), index + Record(1000, 2) + Record(3, 0x7FFFFFFF));
    EXPECT_EQ(Page(0, 2), (Texts{"mid", "old"}));
    // skip counts records, damaged ones included, and a page tells how many
    // it passed so that the next one starts after them.
    EXPECT_EQ(Page(2, 1), (Texts{"mid"}));
    HistoryPage newest = m_history->ReadPage(0, 1);
    EXPECT_EQ(newest.messages.size(), 1u);
    EXPECT_EQ(newest.recordsPassed, 3);
    EXPECT_EQ(Page(newest.recordsPassed, 5), (Texts{"old"}));
}

}  // namespace
}  // namespace historytest
