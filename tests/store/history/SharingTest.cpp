// Appends and reads that meet: the files' sharing modes order them.
#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "platform/file/File.h"
#include "store/MessageHistory.h"
#include "tests/store/history/HistoryFixture.h"

namespace historytest {
namespace {

using platform::File;
using platform::FileAccess;
using platform::FileDisposition;
using platform::FileShare;

class SharingTest : public HistoryTest {
protected:
    File HoldShared(const std::string& path)
    {
        return File::Open(path, FileAccess::Read, FileShare::Read, FileDisposition::OpenExisting);
    }
    RefPtr<MessageHistory> m_history = MakeRef<MessageHistory>(u"1", u"2");
};

TEST_F(SharingTest, AppendWaitsWhileAReaderHoldsTheIndex)
{
    ASSERT_TRUE(m_history->Append(Time(), u"2", u"before"));
    File reader = HoldShared(Path("1/2_idx.dat"));
    ASSERT_TRUE(reader.IsOpen());
    // A slower clock than the other tests: the writer's limit (10 device
    // seconds) must stay well beyond the hold below however busy the machine.
    platform::SetTimeScale(10);
    bool appended = false;
    std::thread writer([&] { appended = m_history->Append(Time(), u"2", u"after"); });
    // The writer retries in 500 ms steps until the reader lets go.
    Sleep(2000);
    reader.Close();
    writer.join();
    EXPECT_TRUE(appended);
    auto page = m_history->Read(0, 10);
    ASSERT_EQ(page.size(), 2u);
    EXPECT_EQ(Narrow(page[0].text), "after");
}

TEST_F(SharingTest, AppendGivesUpWhenTheFileIsNeverReleased)
{
    ASSERT_TRUE(m_history->Append(Time(), u"2", u"before"));
    File reader = HoldShared(Path("1/2_msg.txt"));
    ASSERT_TRUE(reader.IsOpen());
    EXPECT_FALSE(m_history->Append(Time(), u"2", u"blocked"));
    reader.Close();
    EXPECT_EQ(m_history->Read(0, 10).size(), 1u);
}

// The empty page says it met an append, so that a reader paging back tells
// it from the end of the history.
TEST_F(SharingTest, ReadDuringAnAppendGivesAnEmptyPageMarkedBusy)
{
    ASSERT_TRUE(m_history->Append(Time(), u"2", u"before"));
    File writer = File::Open(Path("1/2_msg.txt"), FileAccess::ReadWrite, FileShare::None, FileDisposition::OpenAlways);
    ASSERT_TRUE(writer.IsOpen());
    HistoryPage held = m_history->ReadPage(0, 10);
    EXPECT_TRUE(held.messages.empty());
    EXPECT_TRUE(held.busy);
    writer.Close();
    HistoryPage free = m_history->ReadPage(0, 10);
    EXPECT_EQ(free.messages.size(), 1u);
    EXPECT_FALSE(free.busy);
    EXPECT_FALSE(m_history->ReadPage(1, 10).busy) << "past the oldest record";
}

TEST_F(SharingTest, ConcurrentAppendsAndReadsKeepEveryMessageWhole)
{
    constexpr int kThreads = 3;
    constexpr int kEach = 40;
    // Two objects of the same conversation (as two holders might have) and
    // one reader that pages while they write.
    auto other = MakeRef<MessageHistory>(u"1", u"2");
    std::atomic<bool> writing{true};
    std::atomic<int> failures{0};
    std::thread reader([&] {
        while (writing.load()) {
            for (const HistoryMessage& message : m_history->Read(0, 5)) {
                if (message.text.size() != 11 || message.text[0] != u't') {
                    ADD_FAILURE() << "torn text " << Narrow(message.text);
                    failures.fetch_add(1);
                }
            }
            Sleep(200);  // a reader pages now and then, not in a tight loop
        }
    });
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&, t] {
            MessageHistory& target = t % 2 == 0 ? *m_history : *other;
            for (int i = 0; i < kEach; ++i) {
                char text[16];
                std::snprintf(text, sizeof text, "t%d-msg-%04d", t, i);  // 11 characters
                if (!target.Append(Time(), u"2", platform::Utf8ToWide(text))) {
                    ADD_FAILURE() << "append failed " << text;
                    failures.fetch_add(1);
                }
            }
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    writing = false;
    reader.join();
    EXPECT_EQ(failures.load(), 0);

    std::set<std::string> seen;
    for (const HistoryMessage& message : m_history->Read(0, kThreads * kEach + 10))
        seen.insert(Narrow(message.text));
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kThreads * kEach));
    EXPECT_EQ(ReadBytes(Path("1/2_idx.dat")).size(), 16u * (kThreads * kEach + 1));
}

}  // namespace
}  // namespace historytest
