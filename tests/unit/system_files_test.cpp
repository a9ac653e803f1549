// The log file on Linux: open, read, delete through the open file.

#include "log_reader.h"
#include "system_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plovik {
namespace {

class SystemFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/plovik-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        path = dir + "/wsjtx_log.adi";
    }
    void TearDown() override
    {
        std::remove(path.c_str());
        rmdir(dir.c_str());
    }
    void Write(const std::string& content) { std::ofstream(path, std::ios::binary) << content; }
    bool Exists() const { return access(path.c_str(), F_OK) == 0; }
    std::string ReadAll(LogFile& file)
    {
        std::string all;
        char buffer[3];
        std::size_t count = 0;
        ReadStatus status;
        while ((status = file.Read(buffer, sizeof buffer, count)) == ReadStatus::Data)
            all.append(buffer, count);
        EXPECT_EQ(status, ReadStatus::End);
        return all;
    }

    std::string dir;
    std::string path;
};

TEST_F(SystemFilesTest, ReadsEveryByteAndDeletesThroughTheOpenFile)
{
    const std::string content("a\r\nb\0c\n", 7);
    Write(content);
    OpenResult opened = OpenSystemLogFile(path, FileAccess::ReadAndDelete);
    ASSERT_EQ(opened.status, OpenStatus::Opened);
    EXPECT_EQ(ReadAll(*opened.file), content);
    std::string reason;
    EXPECT_TRUE(opened.file->DeleteAndClose(reason)) << reason;
    EXPECT_FALSE(Exists());
}

TEST_F(SystemFilesTest, ReadOnlyNeverDeletesOrLocks)
{
    Write("x");
    OpenResult opened = OpenSystemLogFile(path, FileAccess::ReadOnly);
    ASSERT_EQ(opened.status, OpenStatus::Opened);
    // A writer holding an exclusive lock is not kept out by the reader.
    const int fd = open(path.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    close(fd);
    std::string reason;
    EXPECT_TRUE(opened.file->DeleteAndClose(reason));
    EXPECT_TRUE(Exists());
}

TEST_F(SystemFilesTest, AbsentInUseAndFailed)
{
    EXPECT_EQ(OpenSystemLogFile(path, FileAccess::ReadAndDelete).status, OpenStatus::Absent);

    Write("x");
    const int fd = open(path.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    EXPECT_EQ(OpenSystemLogFile(path, FileAccess::ReadAndDelete).status, OpenStatus::InUse);
    close(fd);

    const OpenResult notDir = OpenSystemLogFile(path + "/x", FileAccess::ReadAndDelete);
    EXPECT_EQ(notDir.status, OpenStatus::Failed);
    EXPECT_EQ(notDir.reason, "Not a directory");
}

TEST_F(SystemFilesTest, ReadFailureCarriesTheSystemReason)
{
    OpenResult opened = OpenSystemLogFile(dir, FileAccess::ReadOnly);
    ASSERT_EQ(opened.status, OpenStatus::Opened);
    char buffer[8];
    std::size_t count = 0;
    EXPECT_EQ(opened.file->Read(buffer, sizeof buffer, count), ReadStatus::Failed);
    EXPECT_EQ(opened.file->ErrorText(), "Is a directory");
}

TEST_F(SystemFilesTest, FileRemovedBehindTheReaderCountsAsDeleted)
{
    // The contact was read whole; the file being gone already is no reason
    // to hold the contact back.
    Write("x");
    OpenResult opened = OpenSystemLogFile(path, FileAccess::ReadAndDelete);
    ASSERT_EQ(opened.status, OpenStatus::Opened);
    ASSERT_EQ(std::remove(path.c_str()), 0);
    std::string reason;
    EXPECT_TRUE(opened.file->DeleteAndClose(reason)) << reason;
}

} // namespace
} // namespace plovik
