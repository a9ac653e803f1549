// The take: WSJT-X's log into the outbox at once, the first start's old
// history moved aside, the earlier version's file adopted, a file in use
// waited for and a failure reported once.

#include "transfer_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace plovik {
namespace {

class TakeTest : public TransferTest {};

TEST_F(TakeTest, EmptyFileOneBoxAtATimeAndItStays)
{
    Log("\n\n");
    int boxesSeenInside = 0;
    platform.onBox = [&] {
        // Timer messages keep coming while the box is up.
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(Tick().status, TickStatus::Skipped);
        boxesSeenInside = static_cast<int>(platform.boxes.size());
        EXPECT_EQ(platform.openFiles, 0) << "WSJT-X may write while the box is up";
    };
    EXPECT_EQ(Tick().take, TakeOutcome::Empty);
    EXPECT_EQ(boxesSeenInside, 1);
    EXPECT_EQ(platform.boxes[0], "The source file is empty");
    EXPECT_TRUE(platform.Exists(kPath));
    EXPECT_TRUE(Outbox().empty());

    // WSJT-X fills the file: it is taken and sent at the next tick.
    platform.onBox = nullptr;
    Log(kContactA);
    EXPECT_EQ(Tick().send, SendOutcome::Sent);
    EXPECT_EQ(platform.boxes.size(), 1u);
}

// Written by WSJT-X, or held a moment by a reader that does not let it be
// moved (a scanner): tried again in silence.
TEST_F(TakeTest, FileInUseIsWaitedForInSilence)
{
    for (OpenStatus holder : {OpenStatus::InUse, OpenStatus::Held}) {
        platform.files[kPath] = FakeFile{kContactA, holder, "in use"};
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Tick().take, TakeOutcome::InUse);
        EXPECT_TRUE(platform.boxes.empty());
        platform.files[kPath].openStatus = OpenStatus::Opened;
        EXPECT_EQ(Tick().send, SendOutcome::Sent);
    }
    EXPECT_EQ(platform.sent.size(), 2u);
}

// A reader that holds on for a second is reported; the file stays. Any other
// answer starts the patience anew.
TEST_F(TakeTest, ReaderHoldingTheLogPastItsPatienceIsAFailure)
{
    using Clock = ReaderPatience::Clock;
    const Clock::time_point start{};
    ReaderPatience patience;
    for (auto [after, over] : {std::pair{0, false}, {999, false}, {1000, true}, {5000, true}})
        EXPECT_EQ(patience.Over(start + std::chrono::milliseconds(after)), over) << after;
    patience.Reset();
    EXPECT_FALSE(patience.Over(start + std::chrono::milliseconds(6000)));

    Reports reports(platform);
    platform.files[kPath] = FakeFile{kContactA, OpenStatus::Held, "held"};
    const std::string target = InOutbox("0000000000000001.adi");
    for (auto [since, outcome] : {std::pair{0, TakeOutcome::InUse}, {-2, TakeOutcome::Failed}}) {
        patience.Reset();
        patience.Over(Clock::now() + std::chrono::seconds(since));
        const TakeResult result = TakeLogFile(kPath, target, platform, reports, patience);
        EXPECT_EQ(result.outcome, outcome) << since;
        EXPECT_TRUE(platform.Exists(kPath));
    }
    EXPECT_EQ(TakeLogFile(kPath, target, platform, reports, patience).reason, "held");
    platform.files[kPath].openStatus = OpenStatus::Absent;
    TakeLogFile(kPath, target, platform, reports, patience);
    platform.files[kPath].openStatus = OpenStatus::Held;
    EXPECT_EQ(TakeLogFile(kPath, target, platform, reports, patience).outcome, TakeOutcome::InUse)
        << "a file gone a moment starts the patience anew";
    EXPECT_TRUE(platform.boxes.empty()) << "the caller reports";
}

TEST_F(TakeTest, LogThatCannotBeTakenIsReportedOnceAndStays)
{
    struct Case {
        const char* what;
        void (*arrange)(FakeFile&);
    };
    const Case table[] = {
        {"open", [](FakeFile& f) { f.openStatus = OpenStatus::Failed; }},
        {"read", [](FakeFile& f) { f.failReadAt = 0; }},
        {"move", [](FakeFile& f) { f.handOverError = "Access is denied."; }},
    };
    for (const Case& c : table) {
        FakePlatform platform;
        Transfer transfer{platform, platform, record, noFreq, kPaths};
        platform.files[kPath] = FakeFile{kContactA};
        platform.files[kPath].openReason = "Access is denied.";
        c.arrange(platform.files[kPath]);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(transfer.RunTick([] { return kLogvex; }).take, TakeOutcome::Failed) << c.what;
        ASSERT_EQ(platform.boxes.size(), 1u) << c.what;
        EXPECT_NE(platform.boxes[0].find(kPath), std::string::npos) << c.what;
        EXPECT_TRUE(platform.sent.empty()) << c.what;
        EXPECT_TRUE(platform.Exists(kPath)) << c.what;
        EXPECT_TRUE(platform.FilesIn(kOutbox).empty()) << c.what;

        // Once it can be taken, it is, and a later failure is news again.
        platform.files[kPath] = FakeFile{kContactA};
        transfer.RunTick([] { return kLogvex; });
        EXPECT_EQ(platform.sent.size(), 1u) << c.what;
        platform.files[kPath] = FakeFile{kContactA, OpenStatus::Failed, "Access is denied."};
        transfer.RunTick([] { return kLogvex; });
        EXPECT_EQ(platform.boxes.size(), 2u) << c.what;
    }
}

TEST_F(TakeTest, MessagesKeptByAnEarlierVersionGoFirst)
{
    platform.files["plovik_bridge_unsent.txt"] = FakeFile{"OLD01#\nOLD02#\n"};
    Log(kContactA);
    Tick(0);
    EXPECT_FALSE(platform.Exists("plovik_bridge_unsent.txt"));
    EXPECT_EQ(Outbox(), (std::vector<std::string>{"0000000000000001.txt", "0000000000000002.adi"}));
    platform.sendResults = {SendStatus::Delivered, SendStatus::NotDelivered};
    Tick();
    EXPECT_EQ(Outbox(),
              (std::vector<std::string>{"0000000000000001+1.txt", "0000000000000002.adi"}));
    Tick();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"OLD01", "OLD02", "K1ABC"}));
    EXPECT_EQ(platform.sent[1].data, "OLD02#");
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(TakeTest, OldLogMovedAsideAtStartUpOnceWsjtxLetsGo)
{
    const std::string& backup = kBackup;
    Log(kContactA);
    platform.moveResults = {MoveStatus::InUse, MoveStatus::InUse}; // WSJT-X reads it
    transfer.StartUp();
    EXPECT_TRUE(transfer.StartUpPending());
    EXPECT_EQ(Tick().take, TakeOutcome::InUse) << "never taken before it is moved aside";
    EXPECT_TRUE(platform.Exists(kPath));
    EXPECT_EQ(Tick().take, TakeOutcome::NoFile);
    EXPECT_FALSE(transfer.StartUpPending());
    EXPECT_EQ(platform.files.at(backup).content, kContactA);
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_TRUE(platform.boxes.empty());
}

// Only the first start in a folder takes a log there for old history: the
// outbox made then marks the folder. A log found at any later start, or
// while New or Open runs the start-up again, is a fresh contact.
TEST_F(TakeTest, OnlyTheFirstStartInAFolderMovesALogAside)
{
    const std::string& backup = kBackup;
    struct Case {
        const char* what;
        bool firstStartHadLog;
        bool backupThere;
        bool sent; // else moved aside
    };
    const Case table[] = {
        {"first start, no backup", true, false, false},
        {"first start, a backup there", true, true, true},
        {"later start after one that found no log", false, false, true},
    };
    for (const Case& c : table) {
        FakePlatform files;
        if (c.backupThere)
            files.files[backup] = FakeFile{kContactB};
        if (c.firstStartHadLog) {
            files.files[kPath] = FakeFile{kContactA};
        } else {
            // The first start found nothing; the bridge stopped (or was
            // killed) before its first tick; WSJT-X logged meanwhile.
            Transfer first(files, files, record, noFreq, kPaths);
            first.StartUp();
            files.files[kPath] = FakeFile{kContactA};
        }
        Transfer bridge(files, files, record, noFreq, kPaths);
        bridge.StartUp();
        bridge.RunTick([] { return kLogvex; });
        EXPECT_EQ(files.sent.size(), c.sent ? 1u : 0u) << c.what;
        EXPECT_EQ(files.Exists(backup) && files.files.at(backup).content == kContactA, !c.sent)
            << c.what;
        EXPECT_FALSE(files.Exists(kPath)) << c.what;
    }

    // New (Ctrl+N) while WSJT-X still writes a fresh contact: not old.
    transfer.StartUp();
    Log(kContactA);
    platform.files[kPath].openStatus = OpenStatus::InUse;
    EXPECT_EQ(Tick().take, TakeOutcome::InUse);
    transfer.StartUp();
    EXPECT_FALSE(transfer.StartUpPending());
    platform.files[kPath].openStatus = OpenStatus::Opened;
    Tick();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC"}));
    EXPECT_FALSE(platform.Exists(backup));
}

TEST_F(TakeTest, OldLogThatCannotBeMovedIsReportedOnceAndNeverSent)
{
    Log(kContactA);
    platform.moveResults = {MoveStatus::Failed, MoveStatus::Failed, MoveStatus::Failed,
                            MoveStatus::Failed};
    transfer.StartUp();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Tick().take, TakeOutcome::NotRun);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_NE(platform.boxes[0].find("wsjtx_log_bak.adi"), std::string::npos);
    EXPECT_TRUE(platform.sent.empty());

    // The user moves it away himself: new contacts flow again.
    platform.files.erase(kPath);
    Tick();
    EXPECT_FALSE(transfer.StartUpPending());
    Log(kContactB);
    Tick();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"G4XYZ"}));
}

} // namespace
} // namespace plovik
