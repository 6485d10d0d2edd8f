#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "platform/file/File.h"
#include "tests/common/TestSupport.h"

namespace {

using platform::File;
using platform::FileAccess;
using platform::FileDisposition;
using platform::FileShare;

class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_temp.Ok());
        m_path = m_folder + "/data.bin";
    }
    void TearDown() override
    {
    }
    testsupport::TempFolder m_temp{"corvane-file"};
    const std::string m_folder = m_temp.Path();
    std::string m_path;
};

TEST_F(FileTest, OpenExistingFailsWhenMissing)
{
    DWORD error = 0;
    File file = File::Open(m_path, FileAccess::Read, FileShare::Read, FileDisposition::OpenExisting, &error);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
}

TEST_F(FileTest, SharingModesConflictAsOnTheDevice)
{
    struct Case {
        const char* name;
        FileShare first;
        FileShare second;
        bool secondOpens;
    } cases[] = {
        {"exclusive then exclusive", FileShare::None, FileShare::None, false},
        {"exclusive then shared read", FileShare::None, FileShare::Read, false},
        {"shared read then exclusive", FileShare::Read, FileShare::None, false},
        {"shared read then shared read", FileShare::Read, FileShare::Read, true},
    };
    for (const Case& c : cases) {
        File first = File::Open(m_path, FileAccess::ReadWrite, c.first, FileDisposition::OpenAlways);
        ASSERT_TRUE(first.IsOpen()) << c.name;
        DWORD error = 0;
        File second = File::Open(m_path, FileAccess::Read, c.second, FileDisposition::OpenExisting, &error);
        EXPECT_EQ(second.IsOpen(), c.secondOpens) << c.name;
        if (!c.secondOpens) {
            EXPECT_EQ(error, ERROR_SHARING_VIOLATION) << c.name;
        }
    }
    // Closing gives the file back.
    File again = File::Open(m_path, FileAccess::Read, FileShare::None, FileDisposition::OpenExisting);
    EXPECT_TRUE(again.IsOpen());
}

TEST_F(FileTest, SharingHoldsAcrossProcesses)
{
    File held = File::Open(m_path, FileAccess::Write, FileShare::None, FileDisposition::CreateAlways);
    ASSERT_TRUE(held.IsOpen());
    pid_t child = fork();
    if (child == 0) {
        DWORD error = 0;
        File other = File::Open(m_path, FileAccess::Read, FileShare::Read, FileDisposition::OpenExisting, &error);
        _exit(!other.IsOpen() && error == ERROR_SHARING_VIOLATION ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(FileTest, RefusedCreateAlwaysDoesNotTruncate)
{
    {
        File writer = File::Open(m_path, FileAccess::Write, FileShare::None, FileDisposition::CreateAlways);
        writer.Write("keep", 4);
    }
    File reader = File::Open(m_path, FileAccess::Read, FileShare::Read, FileDisposition::OpenExisting);
    File truncating = File::Open(m_path, FileAccess::Write, FileShare::None, FileDisposition::CreateAlways);
    EXPECT_FALSE(truncating.IsOpen());
    EXPECT_EQ(reader.Size(), 4);
}

TEST_F(FileTest, ReadWriteSeekAndReplace)
{
    File file = File::Open(m_path, FileAccess::ReadWrite, FileShare::None, FileDisposition::CreateAlways);
    ASSERT_TRUE(file.Write("hello world", 11));
    EXPECT_EQ(file.Seek(6, platform::SeekFrom::Begin), 6);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "world");
    EXPECT_TRUE(file.Truncate(5));
    EXPECT_EQ(file.Size(), 5);
    file.Close();

    ASSERT_TRUE(platform::ReplaceFileContents(m_path, "new", 3));
    std::string bytes;
    ASSERT_TRUE(platform::ReadWholeFile(m_path, FileShare::Read, bytes, 1024));
    EXPECT_EQ(bytes, "new");
    // A failed replace leaves the old contents.
    EXPECT_FALSE(platform::ReplaceFileContents(m_folder + "/missing-dir/x", "y", 1));
    ASSERT_TRUE(platform::ReadWholeFile(m_path, FileShare::Read, bytes, 2));
    EXPECT_EQ(bytes, "ne");
}

}  // namespace
