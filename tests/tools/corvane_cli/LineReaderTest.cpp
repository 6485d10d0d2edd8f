// The console's input: lines come out whole whatever pieces they arrive in,
// and quitting ends a read that waits on an open terminal.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/sync/Sync.h"
#include "tests/common/TestSupport.h"
#include "tools/corvane-cli/LineReader.h"

namespace {

class LineReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::pipe(m_pipe), 0);
        m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    void TearDown() override
    {
        for (int fd : m_pipe) {
            if (fd >= 0)
                ::close(fd);
        }
        CloseHandle(m_stop);
    }
    void Write(const std::string& text) { ASSERT_EQ(::write(m_pipe[1], text.data(), text.size()), static_cast<ssize_t>(text.size())); }

    int m_pipe[2] = {-1, -1};
    HANDLE m_stop = nullptr;
};

TEST_F(LineReaderTest, PiecesAndLineEndsGiveWholeLines)
{
    std::thread writer([this] {
        Write("status onl");
        Write("ine\r\nmsg 1 a\n\nquit");
        ::close(m_pipe[1]);
        m_pipe[1] = -1;
    });
    cli::LineReader reader(m_pipe[0], m_stop);
    std::vector<std::string> lines;
    std::string line;
    while (reader.Next(line))
        lines.push_back(line);
    writer.join();
    EXPECT_EQ(lines, (std::vector<std::string>{"status online", "msg 1 a", "", "quit"}));
}

TEST_F(LineReaderTest, StopEndsAReadThatWaitsForInput)
{
    Write("one\n");
    cli::LineReader reader(m_pipe[0], m_stop);
    std::atomic<int> lines{0};
    std::atomic<bool> ended{false};
    std::thread readerThread([&] {
        std::string line;
        while (reader.Next(line))
            ++lines;
        ended = true;
    });
    ASSERT_TRUE(testsupport::WaitFor([&] { return lines.load() == 1; }));
    EXPECT_FALSE(ended.load());  // the write end is still open: it waits
    SetEvent(m_stop);
    EXPECT_TRUE(testsupport::WaitFor([&] { return ended.load(); }));
    readerThread.join();
}

}  // namespace
