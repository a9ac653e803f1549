// The tick's transfer step: nothing lost, nothing sent twice, no stacked
// boxes, no nested reads.

#include "fake_platform.h"
#include "transfer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plovik {
namespace {

using testing::FakeFile;
using testing::FakePlatform;

const std::string kPath = "wsjtx_log.adi";
const std::string kContactA =
    "x<eoh>\n<call:5>K1ABC <band:3>20m <mode:3>FT8 <freq:9>14.074000 <eor>\n";
const std::string kContactB = "x<eoh>\n<call:5>G4XYZ <band:3>40m <mode:3>FT4 <eor>\n";
constexpr WindowRef kLogvex = 77;

class TransferTest : public ::testing::Test {
protected:
    TickOutcome Tick(WindowRef logvex = kLogvex)
    {
        return transfer.RunTick(record, kPath, noFreq, [&] {
            ++probes;
            return logvex;
        });
    }
    void Log(const std::string& content) { platform.files[kPath] = FakeFile{content}; }
    std::string SentCall(std::size_t i) const { return platform.sent.at(i).data.substr(0, 5); }

    FakePlatform platform;
    Transfer transfer{platform};
    QsoRecord record;
    std::uint8_t noFreq = 0;
    int probes = 0;
};

TEST_F(TransferTest, ContactSentOnceAndFileDeleted)
{
    Log(kContactA);
    EXPECT_EQ(Tick(), TickOutcome::Sent);
    ASSERT_EQ(platform.sent.size(), 1u);
    EXPECT_EQ(platform.sent[0].receiver, kLogvex);
    EXPECT_EQ(platform.sent[0].kind, 10001u);
    EXPECT_EQ(SentCall(0), "K1ABC");
    EXPECT_FALSE(platform.Exists(kPath));
    EXPECT_EQ(Tick(), TickOutcome::NoFile);
    EXPECT_EQ(platform.sent.size(), 1u);
    EXPECT_EQ(probes, 2);
}

TEST_F(TransferTest, DrainComesBeforeTheProbe)
{
    std::string order;
    platform.onDrain = [&] {
        order += 'd';
        return true;
    };
    transfer.RunTick(record, kPath, noFreq, [&] {
        order += 'p';
        return kLogvex;
    });
    EXPECT_EQ(order, "dp");
}

TEST_F(TransferTest, NoLogvexLeavesTheFileUnreadUntilLogvexAppears)
{
    Log(kContactA);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Tick(0), TickOutcome::NoReceiver);
    EXPECT_TRUE(platform.Exists(kPath));
    EXPECT_EQ(platform.opens, 0);
    EXPECT_EQ(Tick(), TickOutcome::Sent);
    EXPECT_EQ(platform.sent.size(), 1u);
}

// What WSJT-X leaves when it logs B while A still waits in the file.
const std::string kContactsAB = kContactA + "<call:5>G4XYZ <band:3>40m <mode:3>FT4 <eor>\n";

TEST_F(TransferTest, ContactsLoggedWhileLogvexIsAwayArriveOneMessageEach)
{
    Log(kContactA);
    EXPECT_EQ(Tick(0), TickOutcome::NoReceiver);
    Log(kContactsAB);
    EXPECT_EQ(Tick(0), TickOutcome::NoReceiver);
    EXPECT_EQ(Tick(), TickOutcome::Sent);
    ASSERT_EQ(platform.sent.size(), 2u);
    EXPECT_EQ(SentCall(0), "K1ABC");
    EXPECT_EQ(SentCall(1), "G4XYZ");
    // B's message carries nothing of A's.
    EXPECT_EQ(platform.sent[1].data.find("14074"), std::string::npos);
    EXPECT_FALSE(platform.Exists(kPath));
}

TEST_F(TransferTest, SendFailingAmidSeveralContactsHoldsTheRestInOrder)
{
    Log(kContactsAB);
    platform.sendResults = {SendStatus::Delivered, SendStatus::ReceiverGone};
    EXPECT_EQ(Tick(), TickOutcome::Held);
    EXPECT_EQ(transfer.Pending().size(), 1u);
    EXPECT_FALSE(platform.Exists(kPath));
    EXPECT_EQ(Tick(0), TickOutcome::NoReceiver);
    Log(kContactA);                       // a third contact meanwhile
    EXPECT_EQ(Tick(), TickOutcome::Sent); // the held one first, then the file
    ASSERT_EQ(platform.sent.size(), 3u);
    EXPECT_EQ(SentCall(0), "K1ABC");
    EXPECT_EQ(SentCall(1), "G4XYZ");
    EXPECT_EQ(SentCall(2), "K1ABC");
    EXPECT_EQ(platform.sendAttempts, 4);
    EXPECT_EQ(transfer.Pending().size(), 0u);
}

TEST_F(TransferTest, UndeletableFileWithSeveralContactsSendsNoneUntilItGoes)
{
    Log(kContactsAB);
    platform.files[kPath].deleteError = "Access is denied.";
    EXPECT_EQ(Tick(), TickOutcome::Failed);
    EXPECT_EQ(Tick(), TickOutcome::Failed);
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_EQ(transfer.Pending().size(), 0u);
    platform.files[kPath].deleteError.clear();
    EXPECT_EQ(Tick(), TickOutcome::Sent);
    ASSERT_EQ(platform.sent.size(), 2u);
    EXPECT_EQ(SentCall(1), "G4XYZ");
}

TEST_F(TransferTest, FailedSendIsHeldAndSentBeforeTheNextFile)
{
    Log(kContactA);
    platform.sendResults = {SendStatus::ReceiverGone};
    EXPECT_EQ(Tick(), TickOutcome::Held);
    EXPECT_FALSE(platform.Exists(kPath)); // read and deleted: only the held copy remains
    EXPECT_EQ(transfer.Pending().size(), 1u);

    Log(kContactB);
    EXPECT_EQ(Tick(0), TickOutcome::NoReceiver); // still waiting for Logvex
    platform.sendResults = {SendStatus::NotDelivered};
    EXPECT_EQ(Tick(), TickOutcome::Held);
    EXPECT_TRUE(platform.Exists(kPath)); // B not read while A waits

    EXPECT_EQ(Tick(), TickOutcome::Sent);
    ASSERT_EQ(platform.sent.size(), 2u);
    EXPECT_EQ(SentCall(0), "K1ABC");
    EXPECT_EQ(SentCall(1), "G4XYZ");
    EXPECT_EQ(transfer.Pending().size(), 0u);
    EXPECT_EQ(Tick(), TickOutcome::NoFile);
    EXPECT_EQ(platform.sent.size(), 2u);
    EXPECT_EQ(platform.sendAttempts, 4);
}

TEST_F(TransferTest, HeldContactGoesOutAsItWasBuilt)
{
    Log(kContactA);
    platform.sendResults = {SendStatus::NotDelivered};
    Tick();
    platform.check = 1; // ticked while the contact waits
    Log(kContactB);
    Tick();
    ASSERT_EQ(platform.sent.size(), 2u);
    EXPECT_EQ(platform.sent[0].data, "K1ABC###14074.00##FT8###RSTS   RSTR    ####RSTS #RSTR ##");
    EXPECT_EQ(platform.sent[1].data, "G4XYZ#####FT4###RSTS   RSTR    ####RSTS #RSTR ##");
}

TEST_F(TransferTest, NestedTicksDoNothing)
{
    Log("x<eoh>\n<call:5>K1ABC\n<name:3>Bob\n<band:3>20m <eor>\n");
    std::vector<TickOutcome> nested;
    platform.onDrain = [&] {
        nested.push_back(Tick());
        return true;
    };
    EXPECT_EQ(Tick(), TickOutcome::Sent);
    ASSERT_FALSE(nested.empty());
    for (TickOutcome outcome : nested)
        EXPECT_EQ(outcome, TickOutcome::Skipped);
    EXPECT_EQ(platform.opens, 1);
    EXPECT_EQ(platform.sent.size(), 1u);
    EXPECT_FALSE(transfer.IsRunning());
}

TEST_F(TransferTest, EmptyFileOneBoxAtATime)
{
    Log("");
    int nestedBoxes = 0;
    platform.onBox = [&] {
        // Timer messages keep coming while the box is up.
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(Tick(), TickOutcome::Skipped);
        nestedBoxes = static_cast<int>(platform.boxes.size());
    };
    EXPECT_EQ(Tick(), TickOutcome::Empty);
    EXPECT_EQ(nestedBoxes, 1);
    EXPECT_TRUE(platform.Exists(kPath));
    EXPECT_TRUE(platform.sent.empty());

    // WSJT-X fills the file: it is read and sent at the next tick.
    platform.onBox = nullptr;
    Log(kContactA);
    EXPECT_EQ(Tick(), TickOutcome::Sent);
    EXPECT_EQ(platform.boxes.size(), 1u);
}

TEST_F(TransferTest, FileInUseOrVanishedIsSilent)
{
    platform.files[kPath] = FakeFile{kContactA, OpenStatus::InUse, "in use"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Tick(), TickOutcome::InUse);
    EXPECT_TRUE(platform.boxes.empty());
    platform.files[kPath].openStatus = OpenStatus::Opened;
    EXPECT_EQ(Tick(), TickOutcome::Sent);
    EXPECT_EQ(platform.sent.size(), 1u);
}

TEST_F(TransferTest, ReadFailureReportedOnceNamingFileAndReason)
{
    platform.files[kPath] = FakeFile{kContactA, OpenStatus::Failed, "Access is denied."};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Tick(), TickOutcome::Failed);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_NE(platform.boxes[0].find(kPath), std::string::npos);
    EXPECT_NE(platform.boxes[0].find("Access is denied."), std::string::npos);
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_TRUE(platform.Exists(kPath));

    // A different failure is news again.
    platform.files[kPath].openReason = "The device is not ready.";
    Tick();
    EXPECT_EQ(platform.boxes.size(), 2u);
}

TEST_F(TransferTest, UndeletableFileNotSentUntilItCanBeDeleted)
{
    Log(kContactA);
    platform.files[kPath].deleteError = "Access is denied.";
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Tick(), TickOutcome::Failed);
    EXPECT_TRUE(platform.sent.empty());
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_NE(platform.boxes[0].find("cannot be deleted"), std::string::npos);
    EXPECT_NE(platform.boxes[0].find(kPath), std::string::npos);

    platform.files[kPath].deleteError.clear();
    EXPECT_EQ(Tick(), TickOutcome::Sent);
    EXPECT_EQ(Tick(), TickOutcome::NoFile);
    EXPECT_EQ(platform.sent.size(), 1u);

    // After a success the same failure would be reported again.
    Log(kContactB);
    platform.files[kPath].deleteError = "Access is denied.";
    Tick();
    EXPECT_EQ(platform.boxes.size(), 2u);
}

TEST_F(TransferTest, ShutdownStopsTheTickAndKeepsTheContact)
{
    Log(kContactA + "<name:3>Bob\n");
    platform.onDrain = [&] { return platform.drains < 2; };
    EXPECT_EQ(Tick(), TickOutcome::Stopped);
    EXPECT_TRUE(platform.Exists(kPath));
    EXPECT_TRUE(platform.sent.empty());

    platform.onDrain = [] { return false; };
    EXPECT_EQ(Tick(), TickOutcome::Stopped);
    EXPECT_EQ(probes, 1);
}

TEST_F(TransferTest, RestoredMessagesGoFirstThenThoseHeldThenTheFile)
{
    Log(kContactA);
    platform.sendResults = {SendStatus::NotDelivered};
    EXPECT_EQ(Tick(), TickOutcome::Held); // K1ABC read, deleted and held
    transfer.Restore({"OLD01#", "OLD02#"});
    EXPECT_EQ(transfer.Pending().size(), 3u);
    EXPECT_EQ(transfer.Pending().front(), "OLD01#");

    Log(kContactB);
    EXPECT_EQ(Tick(), TickOutcome::Sent); // the held ones, then the file
    EXPECT_FALSE(platform.Exists(kPath));
    std::vector<std::string> calls;
    for (std::size_t i = 0; i < platform.sent.size(); ++i)
        calls.push_back(SentCall(i));
    EXPECT_EQ(calls, (std::vector<std::string>{"OLD01", "OLD02", "K1ABC", "G4XYZ"}));
    EXPECT_TRUE(transfer.Pending().empty());
}

TEST_F(TransferTest, ShutdownBetweenTwoSendsHoldsTheRestInOrder)
{
    Log("x<eoh>\n<call:5>K1AAA <eor>\n<call:5>K1BBB <eor>\n<call:5>K1CCC <eor>\n");
    // The user closes the window once the first message has gone.
    platform.onDrain = [&] { return platform.sendAttempts == 0; };
    EXPECT_EQ(Tick(), TickOutcome::Stopped);
    ASSERT_EQ(platform.sent.size(), 1u);
    EXPECT_EQ(SentCall(0), "K1AAA");
    ASSERT_EQ(transfer.Pending().size(), 2u);
    EXPECT_EQ(transfer.Pending()[0].substr(0, 5), "K1BBB");
    EXPECT_FALSE(platform.Exists(kPath));

    platform.onDrain = nullptr;
    EXPECT_EQ(Tick(), TickOutcome::NoFile); // the held two went first
    ASSERT_EQ(platform.sent.size(), 3u);
    EXPECT_EQ(SentCall(1), "K1BBB");
    EXPECT_EQ(SentCall(2), "K1CCC");
}

TEST_F(TransferTest, NoFreqFlagFollowsTheBoxAtSendTime)
{
    Log(kContactA);
    platform.check = 1;
    Tick();
    EXPECT_EQ(noFreq, 1);
    Log(kContactA);
    platform.check = 0;
    Tick();
    EXPECT_EQ(noFreq, 0);
    ASSERT_EQ(platform.sent.size(), 2u);
    EXPECT_EQ(platform.sent[0].data.find("14074.00"), std::string::npos);
    EXPECT_NE(platform.sent[1].data.find("#14074.00#"), std::string::npos);
}

} // namespace
} // namespace plovik
