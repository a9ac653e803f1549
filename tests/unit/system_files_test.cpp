// The files on Linux: the log read and handed over through the open file,
// and the outbox's operations.

#include "log_reader.h"
#include "system_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

    SystemFiles files;
    std::string dir;
    std::string path;
};

TEST_F(SystemFilesTest, ReadsEveryByteAndHandsOverThroughTheOpenFile)
{
    const std::string content("a\r\nb\0c\n", 7);
    Write(content);
    OpenResult opened = files.OpenForTaking(path);
    ASSERT_EQ(opened.status, OpenStatus::Opened);
    EXPECT_EQ(ReadAll(*opened.file), content);
    const FileResult handed = opened.file->HandOverAndClose(dir + "/taken.adi");
    EXPECT_TRUE(handed) << handed.reason;
    EXPECT_FALSE(Exists());
    OpenResult taken = files.OpenForReading(dir + "/taken.adi");
    ASSERT_EQ(taken.status, OpenStatus::Opened);
    EXPECT_EQ(ReadAll(*taken.file), content);
    const FileResult removed = files.Remove(dir + "/taken.adi");
    EXPECT_TRUE(removed) << removed.reason;
}

TEST_F(SystemFilesTest, ReadOnlyNeverDeletesOrLocks)
{
    Write("x");
    OpenResult opened = files.OpenForReading(path);
    ASSERT_EQ(opened.status, OpenStatus::Opened);
    // A writer holding an exclusive lock is not kept out by the reader.
    const int fd = open(path.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    close(fd);
    EXPECT_FALSE(opened.file->HandOverAndClose(dir + "/taken.adi"));
    EXPECT_TRUE(Exists());
}

TEST_F(SystemFilesTest, AbsentInUseAndFailed)
{
    EXPECT_EQ(files.OpenForTaking(path).status, OpenStatus::Absent);

    Write("x");
    const int fd = open(path.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    EXPECT_EQ(files.OpenForTaking(path).status, OpenStatus::InUse);
    close(fd);

    const OpenResult notDir = files.OpenForTaking(path + "/x");
    EXPECT_EQ(notDir.status, OpenStatus::Failed);
    EXPECT_EQ(notDir.reason, "Not a directory");
}

TEST_F(SystemFilesTest, ReadFailureCarriesTheSystemReason)
{
    OpenResult opened = files.OpenForReading(dir);
    ASSERT_EQ(opened.status, OpenStatus::Opened);
    char buffer[8];
    std::size_t count = 0;
    EXPECT_EQ(opened.file->Read(buffer, sizeof buffer, count), ReadStatus::Failed);
    EXPECT_EQ(opened.file->ErrorText(), "Is a directory");
}

TEST_F(SystemFilesTest, OutboxOperationsNeverReplaceAndTellWhy)
{
    const std::string outbox = dir + "/outbox";
    const FolderListing none = files.ListFolder(outbox); // not there yet: empty
    EXPECT_EQ(none.status, ListStatus::Absent);
    EXPECT_TRUE(none.names.empty());
    const FileResult made = files.MakeFolder(outbox);
    ASSERT_TRUE(made) << made.reason;
    EXPECT_TRUE(files.MakeFolder(outbox)) << "already there is fine";

    // A hand-over or rename onto an existing name fails and keeps both.
    Write("new");
    std::ofstream(outbox + "/1.adi") << "old";
    OpenResult opened = files.OpenForTaking(path);
    ASSERT_EQ(opened.status, OpenStatus::Opened);
    const FileResult onto = opened.file->HandOverAndClose(outbox + "/1.adi");
    EXPECT_FALSE(onto);
    EXPECT_EQ(onto.reason, "File exists");
    EXPECT_TRUE(Exists());
    EXPECT_FALSE(files.Move(path, outbox + "/1.adi", HolderWait::UpToASecond).status ==
                 MoveStatus::Moved);
    const MoveResult moved = files.Move(path, outbox + "/2.adi", HolderWait::UpToASecond);
    ASSERT_TRUE(moved.status == MoveStatus::Moved) << moved.reason;

    FolderListing listing = files.ListFolder(outbox);
    ASSERT_EQ(listing.status, ListStatus::Listed);
    std::sort(listing.names.begin(), listing.names.end());
    EXPECT_EQ(listing.names, (std::vector<std::string>{"1.adi", "2.adi"}));
    for (const char* name : {"1.adi", "2.adi", "2.adi"})
        EXPECT_TRUE(files.Remove(outbox + "/" + name)) << "gone already is fine";
    EXPECT_TRUE(files.ListFolder(outbox).names.empty());

    // Folders by the start of their names: no file, no other folder.
    for (const char* folder : {"WSJT-X", "WSJT-X - A", "JTDX", "Thunderbird", "wsjt-x"})
        ASSERT_TRUE(files.MakeFolder(outbox + "/" + folder));
    std::ofstream(outbox + "/WSJT-X.ini") << "x";
    FolderListing named = files.ListFoldersNamed(outbox, {"WSJT-X", "JTDX"});
    ASSERT_EQ(named.status, ListStatus::Listed);
    std::sort(named.folders.begin(), named.folders.end());
    EXPECT_EQ(named.folders, (std::vector<std::string>{"JTDX", "WSJT-X", "WSJT-X - A"}));
    EXPECT_TRUE(named.names.empty());
    EXPECT_EQ(files.ListFoldersNamed(dir + "/none", {"WSJT-X"}).status, ListStatus::Absent)
        << "not there: empty";
    for (const char* folder : {"WSJT-X", "WSJT-X - A", "JTDX", "Thunderbird", "wsjt-x"})
        rmdir((outbox + "/" + folder).c_str());
    std::remove((outbox + "/WSJT-X.ini").c_str());

    // A file where the folder should be.
    std::ofstream(dir + "/plain") << "x";
    const FileResult plain = files.MakeFolder(dir + "/plain");
    EXPECT_FALSE(plain);
    EXPECT_EQ(plain.reason, "Not a directory");
    const FolderListing notFolder = files.ListFolder(dir + "/plain");
    EXPECT_EQ(notFolder.status, ListStatus::Failed);
    EXPECT_EQ(notFolder.reason, "Not a directory");
    std::remove((dir + "/plain").c_str());
    rmdir(outbox.c_str());
}

} // namespace
} // namespace plovik
