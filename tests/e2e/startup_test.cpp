// At start the bridge moves an old log aside, unless a backup is already there.

#include "bridge_fixture.h"

namespace e2e {
namespace {

class Startup : public BridgeTest {
protected:
    std::string oldLog() const { return WsjtxSamples().oneContact; }
    std::string oldBackup() const { return WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n"; }
    // Logvex runs; the bridge starts and runs its first ticks.
    void StartAndTick()
    {
        StartLogvex();
        StartBridge();
    }
};

TEST_F(Startup, LogWithoutBackupIsMovedAsideAndTheFirstTickSendsNothing)
{
    PlaceFile(files.log, oldLog());
    StartAndTick();
    EXPECT_FALSE(FileExists(files.log));
    EXPECT_EQ(ReadFileBytes(files.backup), oldLog());
    EXPECT_TRUE(GotExactly(0));
    EXPECT_EQ(ReadFileBytes(files.backup), oldLog());
}

TEST_F(Startup, LogAndBackupStayAndTheFirstTickSendsTheLog)
{
    PlaceFile(files.log, oldLog());
    PlaceFile(files.backup, oldBackup());
    StartAndTick();
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
    EXPECT_FALSE(FileExists(files.log));
    EXPECT_EQ(ReadFileBytes(files.backup), oldBackup()) << "a backup is never overwritten";
}

TEST_F(Startup, OnlyABackupIsLeftAlone)
{
    PlaceFile(files.backup, oldBackup());
    StartAndTick();
    EXPECT_TRUE(GotExactly(0));
    EXPECT_FALSE(FileExists(files.log));
    EXPECT_EQ(ReadFileBytes(files.backup), oldBackup());
}

TEST_F(Startup, WithNeitherFileNothingAppears)
{
    StartAndTick();
    EXPECT_TRUE(GotExactly(0));
    EXPECT_FALSE(FileExists(files.log));
    EXPECT_FALSE(FileExists(files.backup));
    EXPECT_TRUE(Boxes().empty());
}

// Only the first start in a folder finds old history: one that found no log
// marks the folder, and a contact logged while the bridge is closed (or
// killed) is sent at its next start.
TEST_F(Startup, LogWrittenWhileTheBridgeWasClosedIsSentAtItsNextStart)
{
    StartAndTick();
    ASSERT_TRUE(::PostMessageA(FindBridge(), WM_CLOSE, 0, 0));
    ASSERT_EQ(bridge->WaitExit(10000), 0);
    Log({WsjtxSamples().k1abc});
    StartBridge();
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
    EXPECT_FALSE(FileExists(files.log));
    EXPECT_FALSE(FileExists(files.backup));
}

// WSJT-X reads its whole log at its own start, not letting it be moved. A
// bridge started in that moment waits in silence, then moves it aside: the
// history is never sent.
TEST_F(Startup, LogHeldByWsjtxAtStartIsMovedAsideOnceFreeAndNeverSent)
{
    PlaceFile(files.log, oldLog());
    {
        OpenFile reading(files.log, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         OPEN_EXISTING);
        ASSERT_TRUE(reading.Valid());
        StartAndTick();
        EXPECT_TRUE(HoldsFor([&] { return Boxes().empty() && FileExists(files.log); }, 2500));
    }
    // Wine's rename holds the file a moment after its new name shows:
    // waited for until it reads whole.
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(files.backup) == oldLog(); }, 2000))
        << ReadFileBytes(files.backup);
    EXPECT_TRUE(GotExactly(0));
    EXPECT_TRUE(Boxes().empty());
}

} // namespace
} // namespace e2e
