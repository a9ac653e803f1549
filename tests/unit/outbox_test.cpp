// One folder's outbox: made anew when removed, each delivery recorded
// before the next send, each file read once, bad files set aside, and its
// file names.

#include "outbox_names.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace plovik {
namespace {

class OutboxTest : public TransferTest {};

TEST_F(OutboxTest, OutboxRemovedOrFilledBehindOurBackIsMadeAnewInSilence)
{
    Log(kContactA);
    Tick(0);
    // Someone clears the WSJT-X folder, outbox and all, and something puts
    // a file where the next one would go.
    platform.files.clear();
    platform.files[InOutbox("0000000000000002.adi")] = FakeFile{kContactB};
    Log(kContactA);
    EXPECT_EQ(Tick(0).take, TakeOutcome::Taken);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(Outbox(), (std::vector<std::string>{"0000000000000002.adi", "0000000000000003.adi"}));
}

// An idle tick lists no outbox: the bridge's own changes are seen at once,
// a file put there behind its back within ten seconds.
TEST_F(OutboxTest, AnIdleOutboxIsListedAgainOnChangeOrAfterTenSeconds)
{
    Log(kContactA);
    Tick();
    platform.files[InOutbox("0000000000000007.adi")] = FakeFile{kContactB};
    for (int second = 1; second < 10; ++second, ++platform.now)
        Tick(second % 2 ? 0 : kLogvex);
    EXPECT_EQ(transfer.GetProgress().waiting, 0u);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC"}));
    ++platform.now;
    Tick(0);
    EXPECT_EQ(transfer.GetProgress().waiting, 1u);
    Tick();
    Log(kContactsAB);
    Tick();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC", "G4XYZ", "K1ABC", "G4XYZ"}));
}

TEST_F(OutboxTest, EachDeliveryIsRecordedBeforeTheNextSend)
{
    Log(kContactsAB);
    platform.sendResults = {SendStatus::Delivered, SendStatus::ReceiverGone};
    EXPECT_EQ(Tick().send, SendOutcome::Held);
    EXPECT_EQ(Outbox(), (std::vector<std::string>{"0000000000000001+1.adi"}));

    Log(kContactA); // a third contact meanwhile
    EXPECT_EQ(Tick().send, SendOutcome::Sent);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC", "G4XYZ", "K1ABC"}));
    EXPECT_EQ(platform.asked.size(), 4u);
    EXPECT_TRUE(Outbox().empty());
}

// A backlog in one file is read once to send it, wherever Logvex stops
// taking it.
TEST_F(OutboxTest, AFileOfManyContactsIsReadOnceWhateverLogvexDoes)
{
    std::string log = "x<eoh>\n";
    std::vector<std::string> calls;
    for (int i = 0; i < 300; ++i) {
        calls.push_back("K" + std::to_string(i));
        log += "<call:" + std::to_string(calls.back().size()) + ">" + calls.back() + " <eor>\n";
    }
    Log(log);
    platform.chunkSize = 4096;
    platform.sendResults = {SendStatus::Delivered, SendStatus::NotDelivered};
    Tick();
    platform.sendResults = {SendStatus::InFlight};
    Tick();
    EXPECT_EQ(transfer.SendFinished(SendStatus::Delivered), SendOutcome::Sent);
    Tick();
    calls.insert(calls.begin() + 1, "K1"); // not delivered, then sent again
    EXPECT_EQ(Asked(), calls);
    EXPECT_TRUE(Outbox().empty());
    // Once to send it, once to count it for the status line: not once a contact.
    EXPECT_LT(platform.bytesRead, 3 * log.size()) << "the file was read more than twice";
}

TEST_F(OutboxTest, UnreadableOutboxFileIsSetAsideWithOneBoxAndTheRestGoOn)
{
    const std::string twoContacts = "x<eoh>\n<call:5>K1AAA <eor>\n<call:5>K1BBB <eor>\n";
    struct Case {
        const char* what;
        FakeFile file;
        std::vector<std::string> calls;
        const char* kept;
        const char* reason;
    };
    Case table[] = {
        {"open fails",
         FakeFile{kContactB, OpenStatus::Failed, "Access is denied."},
         {"K1ABC"},
         "0000000000000003.adi",
         "Access is denied."},
        // The first contact goes; the one the read broke off is never sent.
        {"read fails part-way",
         FakeFile{twoContacts},
         {"K1AAA", "K1ABC"},
         "0000000000000003+1.adi",
         "Input/output error"},
    };
    table[1].file.failReadAt = twoContacts.size() - 6;
    for (const Case& c : table) {
        FakePlatform platform;
        Transfer transfer{platform, platform, record, noFreq, kPaths};
        platform.files[InOutbox("0000000000000003.adi")] = c.file;
        platform.files[kPath] = FakeFile{kContactA};
        for (int i = 0; i < 3; ++i)
            transfer.RunTick([] { return kLogvex; });
        EXPECT_EQ(CallsOf(platform.asked), c.calls) << c.what << ": taken as 4, sent past 3";
        ASSERT_EQ(platform.boxes.size(), 1u) << c.what;
        EXPECT_NE(platform.boxes[0].find("0000000000000003"), std::string::npos) << c.what;
        EXPECT_NE(platform.boxes[0].find(c.reason), std::string::npos) << c.what;
        EXPECT_EQ(platform.FilesIn(kOutbox), (std::vector<std::string>{c.kept}))
            << c.what << ": kept, not lost";
    }
}

TEST_F(OutboxTest, DeliveryThatCannotBeRecordedIsNeverSentAgain)
{
    Log(kContactA);
    platform.files[kPath].removeError = "Access is denied.";
    Tick();
    Tick();
    EXPECT_EQ(platform.sent.size(), 1u);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_NE(platform.boxes[0].find("Access is denied."), std::string::npos);
    EXPECT_NE(platform.boxes[0].find("could not be recorded"), std::string::npos);
    // Marked as delivered, so a restart removes it rather than sending it.
    EXPECT_EQ(Outbox(), (std::vector<std::string>{"0000000000000001+1.adi"}));
    platform.files[InOutbox("0000000000000001+1.adi")].removeError.clear();
    Transfer restarted{platform, platform, record, noFreq, kPaths};
    restarted.RunTick([] { return kLogvex; });
    EXPECT_EQ(platform.sent.size(), 1u);
    EXPECT_TRUE(Outbox().empty());

    // Removed, but still listed while a scanner has it open: it is gone.
    Log(kContactB);
    platform.files[kPath].deletePending = true;
    for (int i = 0; i < 2; ++i)
        restarted.RunTick([] { return kLogvex; });
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC", "G4XYZ"}));
    EXPECT_EQ(platform.boxes.size(), 1u) << platform.boxes.back();

    // A delivery whose rename fails within a file: the file is set aside,
    // so neither contact goes again this run; after a restart the record
    // of what Logvex took skips the first, and only the second goes.
    FakePlatform files;
    Transfer bridge{files, files, record, noFreq, kPaths};
    const std::string dated = "<qso_date:8>20261208 <time_on:6>041000 <eor>\n";
    files.files[kPath] = FakeFile{"x<eoh>\n<call:5>K1AAA " + dated + "<call:5>K1BBB " + dated};
    bridge.RunTick([] { return WindowRef{0}; });
    const std::string taken = InOutbox("0000000000000001.adi");
    files.files.at(taken).renameError = "Access is denied.";
    for (int i = 0; i < 3; ++i)
        bridge.RunTick([] { return kLogvex; });
    EXPECT_EQ(CallsOf(files.asked), (std::vector<std::string>{"K1AAA"}));
    ASSERT_EQ(files.boxes.size(), 1u);
    EXPECT_NE(files.boxes[0].find("could not be recorded"), std::string::npos) << files.boxes[0];
    EXPECT_TRUE(files.Exists(taken));
    files.files.at(taken).renameError.clear();
    Transfer again{files, files, record, noFreq, kPaths};
    again.RunTick([] { return kLogvex; });
    EXPECT_EQ(CallsOf(files.asked), (std::vector<std::string>{"K1AAA", "K1BBB"}));
    EXPECT_EQ(again.GetProgress().skipped, 1u);
    EXPECT_TRUE(files.FilesIn(kOutbox).empty());
}

// A number given again once the outbox was emptied behind the bridge's back
// names a new file: its contacts are counted afresh.
TEST_F(OutboxTest, ANumberGivenAgainIsCountedAfresh)
{
    Log(kContactA);
    Tick(0);
    EXPECT_EQ(transfer.GetProgress().waiting, 1u);
    platform.files.clear();
    Log(kContactsAB);
    platform.files[kPath].handOverError = "Access is denied.";
    Tick();
    EXPECT_EQ(transfer.GetProgress().waiting, 0u);
    platform.files[kPath].handOverError.clear();
    Tick(0);
    EXPECT_EQ(Outbox(), (std::vector<std::string>{"0000000000000001.adi"}));
    EXPECT_EQ(transfer.GetProgress().waiting, 2u);
}

// Nor is a number removed this run, while the bridge may still take a file
// of that number for the removed one.
TEST_F(OutboxTest, ARemovedNumberIsNeverGivenAgain)
{
    Log(kContactA);
    platform.files[kPath].deletePending = true; // a scanner has it when it is removed
    Tick();
    platform.files.clear(); // the scanner lets go
    Log(kContactB);
    platform.files[kPath].handOverError = "Access is denied.";
    Tick(0);
    platform.files[kPath].handOverError.clear();
    Tick(0);
    EXPECT_EQ(Outbox(), (std::vector<std::string>{"0000000000000002.adi"}));
    Tick();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC", "G4XYZ"}));
}

TEST(OutboxNames, RoundTripAndStrangersLeftAlone)
{
    for (const OutboxEntry& e :
         {OutboxEntry{1, 0, OutboxKind::LogFile}, OutboxEntry{42, 3, OutboxKind::Messages},
          OutboxEntry{9999999999999999ull, 12, OutboxKind::LogFile}}) {
        const std::optional<OutboxEntry> back = ParseOutboxName(e.Name());
        ASSERT_TRUE(back) << e.Name();
        EXPECT_EQ(back->arrival, e.arrival);
        EXPECT_EQ(back->delivered, e.delivered);
        EXPECT_EQ(back->kind, e.kind);
    }
    for (const char* stranger :
         {"wsjtx_log.adi", "1.adi", "000000000000001x.adi", "0000000000000001+0.adi",
          "0000000000000001+.adi", "0000000000000001.adi.tmp", "0000000000000001+-1.txt", ""})
        EXPECT_FALSE(ParseOutboxName(stranger)) << stranger;
    const std::vector<OutboxEntry> sorted = SortedEntries(
        {"0000000000000010.adi", "notes.txt", "0000000000000002+1.txt", "0000000000000009.adi"});
    ASSERT_EQ(sorted.size(), 3u);
    EXPECT_EQ(sorted[0].arrival, 2u);
    EXPECT_EQ(sorted[2].arrival, 10u);
}

} // namespace
} // namespace plovik
