// The tick's transfer step: WSJT-X's file taken into the outbox at once,
// the outbox sent oldest first with each delivery recorded before the next
// send, no stacked boxes, no nested reads, bad files set aside.

#include "fake_platform.h"
#include "instance_folders.h"
#include "lateness.h"
#include "log_reader.h"
#include "sent_record.h"
#include "transfer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace plovik {
namespace {

using testing::FakeFile;
using testing::FakePlatform;

const std::string kPath = "wsjtx_log.adi";
const std::string kBackup = "wsjtx_log_bak.adi";
const FolderPaths kPaths = FolderPaths::For(kPath, kBackup);
const std::string kOutbox = "plovik_bridge_outbox";
const std::string kContactA =
    "x<eoh>\n<call:5>K1ABC <band:3>20m <mode:3>FT8 <freq:9>14.074000 <eor>\n";
const std::string kContactB = "x<eoh>\n<call:5>G4XYZ <band:3>40m <mode:3>FT4 <eor>\n";
// What WSJT-X leaves when it logs B while A is still in the file.
const std::string kContactsAB = kContactA + "<call:5>G4XYZ <band:3>40m <mode:3>FT4 <eor>\n";
constexpr WindowRef kLogvex = 77;

std::string InOutbox(const std::string& name)
{
    return kOutbox + "/" + name;
}

class TransferTest : public ::testing::Test {
protected:
    TickOutcome Tick(WindowRef logvex = kLogvex)
    {
        return transfer.RunTick([&] {
            ++probes;
            return logvex;
        });
    }
    void Log(const std::string& content) { platform.files[kPath] = FakeFile{content}; }
    std::vector<std::string> Calls() const
    {
        std::vector<std::string> calls;
        for (const auto& packet : platform.sent)
            calls.push_back(packet.data.substr(0, packet.data.find('#')));
        return calls;
    }
    std::vector<std::string> Outbox() const { return platform.FilesIn(kOutbox); }

    FakePlatform platform;
    QsoRecord record;
    std::uint8_t noFreq = 0;
    Transfer transfer{platform, platform, record, noFreq, kPaths};
    int probes = 0;
};

TEST_F(TransferTest, ContactTakenAtOnceAndSentOnce)
{
    Log(kContactA);
    const TickOutcome first = Tick();
    EXPECT_EQ(first.take, TakeOutcome::Taken);
    EXPECT_EQ(first.send, SendOutcome::Sent);
    ASSERT_EQ(platform.sent.size(), 1u);
    EXPECT_EQ(platform.sent[0].receiver, kLogvex);
    EXPECT_EQ(platform.sent[0].kind, 10001u);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC"}));
    EXPECT_FALSE(platform.Exists(kPath));
    EXPECT_TRUE(Outbox().empty());

    const TickOutcome second = Tick();
    EXPECT_EQ(second.take, TakeOutcome::NoFile);
    EXPECT_EQ(second.send, SendOutcome::Idle);
    EXPECT_EQ(platform.sent.size(), 1u);
    EXPECT_EQ(probes, 2);
}

TEST_F(TransferTest, TakenWhileLogvexIsAwayInArrivalOrderThenSent)
{
    Log(kContactA);
    EXPECT_EQ(Tick(0).send, SendOutcome::NoReceiver);
    EXPECT_FALSE(platform.Exists(kPath)) << "WSJT-X's file must not wait for Logvex";
    Log(kContactsAB);
    EXPECT_EQ(Tick(0).take, TakeOutcome::Taken);
    EXPECT_EQ(Outbox(), (std::vector<std::string>{"0000000000000001.adi", "0000000000000002.adi"}));
    EXPECT_TRUE(platform.sent.empty());
    EXPECT_EQ(transfer.GetProgress().waiting, 3u);
    platform.listError = "Access is denied.";
    Tick(0);
    EXPECT_EQ(transfer.GetProgress().waiting, 3u) << "an outbox that cannot be listed is not empty";
    platform.listError.clear();
    platform.sendResults = {SendStatus::Delivered, SendStatus::Delivered, SendStatus::ReceiverGone};
    EXPECT_EQ(Tick().send, SendOutcome::Held);
    EXPECT_EQ(transfer.GetProgress().waiting, 1u);

    EXPECT_EQ(Tick().send, SendOutcome::Sent);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC", "K1ABC", "G4XYZ"}));
    // B's message carries nothing of A's.
    EXPECT_EQ(platform.sent[2].data.find("14074"), std::string::npos);
    EXPECT_TRUE(Outbox().empty());
    EXPECT_EQ(transfer.GetProgress().waiting, 0u);
}

TEST_F(TransferTest, OutboxRemovedOrFilledBehindOurBackIsMadeAnewInSilence)
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

TEST_F(TransferTest, EachDeliveryIsRecordedBeforeTheNextSend)
{
    Log(kContactsAB);
    platform.sendResults = {SendStatus::Delivered, SendStatus::ReceiverGone};
    EXPECT_EQ(Tick().send, SendOutcome::Held);
    EXPECT_EQ(Outbox(), (std::vector<std::string>{"0000000000000001+1.adi"}));

    Log(kContactA); // a third contact meanwhile
    EXPECT_EQ(Tick().send, SendOutcome::Sent);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC", "G4XYZ", "K1ABC"}));
    EXPECT_EQ(platform.sendAttempts, 4);
    EXPECT_TRUE(Outbox().empty());
}

// A backlog in one file is read once to send it, wherever Logvex stops
// taking it.
TEST_F(TransferTest, AFileOfManyContactsIsReadOnceWhateverLogvexDoes)
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
    calls.erase(calls.begin() + 1); // the one in flight, which the fake does not list
    EXPECT_EQ(Calls(), calls);
    EXPECT_TRUE(Outbox().empty());
    // Once to send it, once to count it for the status line: not once a contact.
    EXPECT_LT(platform.bytesRead, 3 * log.size()) << "the file was read more than twice";
}

// What Logvex took is recorded; an identical contact (a restored or
// copied-back log, the old history moved aside) is counted, not sent.
TEST_F(TransferTest, RecordedContactsAreNotSentAgain)
{
    const auto contact = [](const char* call, const char* time) {
        return std::string("<call:5>") + call + " <qso_date:8>20261207 <time_on:6>" + time +
               " <mode:3>FT8 <eor>\n";
    };
    const std::string a = contact("K1ABC", "062055"), b = contact("G4XYZ", "062115");
    const std::string keyless = "<call:5>K9KEY <mode:3>FT8 <eor>\n";
    // Each recorded with when Logvex took it.
    const auto taken = [](std::string line) {
        return line.insert(line.rfind("<eor>"), "<APP_PlovikBridge_TAKEN_DATE:8:D>20261207 "
                                                "<APP_PlovikBridge_TAKEN_TIME:6:T>062500 ");
    };
    platform.now = 1796624700; // 2026-12-07 06:25:00
    platform.files[kBackup] = FakeFile{"x<eoh>\n" + contact("W1OLD", "050000")};
    Log("x<eoh>\n" + a + b + keyless);
    Tick();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC", "G4XYZ", "K9KEY"}));
    EXPECT_EQ(platform.files.at(kPaths.sent).content,
              kSentRecordHeader + taken(a) + taken(b) + taken(keyless));

    platform.files[kPaths.sent].appendError = "Disk full";
    Log("x<eoh>\n" + b + contact("W1OLD", "050000") + keyless + contact("K1ABC", "062056"));
    Tick();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC", "G4XYZ", "K9KEY", "K9KEY", "K1ABC"}));
    EXPECT_EQ(transfer.GetProgress().skipped, 2u);
    EXPECT_EQ(transfer.GetProgress().delivered, 5u);
    EXPECT_EQ(transfer.GetProgress().lastCall, "K1ABC");
    EXPECT_EQ(transfer.GetProgress().lastTimeOn, "062056");
    ASSERT_EQ(platform.boxes.size(), 1u) << "one box for the record, however many fail";
    EXPECT_NE(platform.boxes[0].find("Disk full"), std::string::npos);
    EXPECT_TRUE(Outbox().empty());

    // A file's last contact without its end-of-record tag is recorded as a
    // contact of its own: the next one appended does not run into it.
    platform.files[kPaths.sent].appendError.clear();
    const std::string open = contact("W2OPN", "063000"), next = contact("W3NXT", "063100");
    Log("x<eoh>\n" + open.substr(0, open.rfind("<eor>")));
    Tick();
    Log("x<eoh>\n" + next);
    Tick();
    Transfer restarted{platform, platform, record, noFreq, kPaths};
    Log("x<eoh>\n" + open + next);
    restarted.RunTick([] { return kLogvex; });
    EXPECT_EQ(restarted.GetProgress().skipped, 2u);
    EXPECT_EQ(platform.sent.size(), 7u);
}

// What makes two contacts the same: a restored copy is, a second QSO is not,
// even with the same stale start time; when Logvex took it plays no part.
TEST(ContactKey, SameContactOnlyWhenEveryKeptFieldIsTheSame)
{
    const std::string base = "<call:5>K1ABC <qso_date:8>20261207 <time_on:6>062055 "
                             "<qso_date_off:8>20261207 <time_off:6>062155 <gridsquare:4>FN42 ";
    struct Case {
        const char* what;
        std::string other; // the tags of the second contact
        bool same;
    };
    const Case cases[] = {
        {"a restored copy", base, true},
        {"kept with when Logvex took it",
         base + "<APP_PlovikBridge_TAKEN_DATE:8:D>20261208 <APP_PlovikBridge_TAKEN_TIME:6:T>"
                "101500 ",
         true},
        {"the grid in lower case", base + "<gridsquare:4>fn42 ", true},
        {"another call", base + "<call:5>G4XYZ ", false},
        {"another start", base + "<time_on:6>062056 ", false},
        {"the same stale start, another end", base + "<time_off:6>062415 ", false},
        {"another end date", base + "<qso_date_off:8>20261208 ", false},
    };
    const auto contact = [](const std::string& tags) {
        QsoRecord record;
        for (std::size_t at = tags.find('<'); at != std::string::npos; at = tags.find('<', at + 1))
            ParseTag(record,
                     std::string_view(tags).substr(at + 1, tags.find('<', at + 1) - at - 1));
        return record;
    };
    const std::optional<std::uint64_t> key = ContactKey(contact(base));
    ASSERT_TRUE(key);
    for (const Case& c : cases)
        EXPECT_EQ(ContactKey(contact(c.other)) == key, c.same) << c.what;
}

// A send's result that arrives from a drain at the end of a tick (the count
// of a new file) is recorded there, and the rest goes at once, not a tick later.
TEST_F(TransferTest, ResultArrivingInsideATickSendsTheRestAtOnce)
{
    Log(kContactsAB);
    platform.sendResults = {SendStatus::InFlight};
    platform.onDrain = [&] {
        if (transfer.SendInFlight()) {
            EXPECT_EQ(transfer.SendFinished(SendStatus::Delivered), SendOutcome::Sent);
        }
        return true;
    };
    Tick();
    EXPECT_FALSE(transfer.SendInFlight());
    EXPECT_EQ(platform.sendAttempts, 2) << "the second contact waited for the next tick";
    EXPECT_EQ(Calls(), (std::vector<std::string>{"G4XYZ"}))
        << "the fake lists only direct deliveries";
    EXPECT_TRUE(Outbox().empty());
    EXPECT_EQ(transfer.GetProgress().delivered, 2u);
}

// A Logvex that refuses every send (hung, or refusing without a reason) is
// tried once a tick, by a direct send or through the sender thread, and the
// contact waits; never a loop of sends.
TEST_F(TransferTest, AContactRefusedAgainAndAgainIsTriedOncePerTick)
{
    Log(kContactsAB);
    for (int tick = 1; tick <= 6; ++tick) {
        const bool throughThread = tick % 2 == 0;
        platform.sendResults.assign(4, throughThread ? SendStatus::InFlight
                                                     : SendStatus::NotDelivered);
        const TickOutcome outcome = Tick();
        if (throughThread)
            EXPECT_EQ(transfer.SendFinished(SendStatus::NotDelivered), SendOutcome::Held);
        else
            EXPECT_EQ(outcome.send, SendOutcome::Held);
        EXPECT_EQ(platform.sendAttempts, tick);
    }
    EXPECT_TRUE(platform.sent.empty());
    platform.sendResults.clear();
    Tick();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC", "G4XYZ"}));
}

TEST_F(TransferTest, MessageIsBuiltWithTheCheckBoxAsItIsWhenItGoes)
{
    Log(kContactA);
    platform.sendResults = {SendStatus::NotDelivered};
    Tick();
    platform.check = 1; // ticked while the contact waits
    Tick();
    EXPECT_EQ(noFreq, 1);
    platform.check = 0;
    Log(kContactA);
    Tick();
    EXPECT_EQ(noFreq, 0);
    ASSERT_EQ(platform.sent.size(), 2u);
    EXPECT_EQ(platform.sent[0].data, "K1ABC#####FT8###RSTS   RSTR    ####RSTS #RSTR ##");
    EXPECT_EQ(platform.sent[1].data, "K1ABC###14074.00##FT8###RSTS   RSTR    ####RSTS #RSTR ##");
}

TEST_F(TransferTest, NestedTicksDoNothing)
{
    Log("x<eoh>\n<call:5>K1ABC\n<name:3>Bob\n<band:3>20m <eor>\n");
    std::vector<TickOutcome> nested;
    platform.onDrain = [&] {
        nested.push_back(Tick());
        return true;
    };
    EXPECT_EQ(Tick().send, SendOutcome::Sent);
    ASSERT_FALSE(nested.empty());
    for (const TickOutcome& outcome : nested)
        EXPECT_EQ(outcome.status, TickStatus::Skipped);
    EXPECT_EQ(platform.sent.size(), 1u);
    EXPECT_FALSE(transfer.IsRunning());
}

TEST_F(TransferTest, EmptyFileOneBoxAtATimeAndItStays)
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

TEST_F(TransferTest, FileInUseIsWaitedForInSilence)
{
    platform.files[kPath] = FakeFile{kContactA, OpenStatus::InUse, "in use"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Tick().take, TakeOutcome::InUse);
    EXPECT_TRUE(platform.boxes.empty());
    platform.files[kPath].openStatus = OpenStatus::Opened;
    EXPECT_EQ(Tick().send, SendOutcome::Sent);
    EXPECT_EQ(platform.sent.size(), 1u);
}

TEST_F(TransferTest, LogThatCannotBeTakenIsReportedOnceAndStays)
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

TEST_F(TransferTest, CloseBetweenTwoSendsLeavesTheRestInTheOutbox)
{
    Log("x<eoh>\n<call:5>K1AAA <eor>\n<call:5>K1BBB <eor>\n<call:5>K1CCC <eor>\n");
    // The user closes the window once the first message has gone.
    platform.onDrain = [&] { return platform.sendAttempts == 0; };
    EXPECT_EQ(Tick().status, TickStatus::Stopped);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1AAA"}));
    EXPECT_EQ(Outbox(), (std::vector<std::string>{"0000000000000001+1.adi"}));

    platform.onDrain = [] { return false; };
    EXPECT_EQ(Tick().status, TickStatus::Stopped);
    EXPECT_EQ(probes, 1) << "a tick stopped at its first drain does nothing";

    platform.onDrain = nullptr;
    Tick();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1AAA", "K1BBB", "K1CCC"}));
    EXPECT_TRUE(Outbox().empty());
}

TEST_F(TransferTest, MessagesKeptByAnEarlierVersionGoFirst)
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

TEST_F(TransferTest, UnreadableOutboxFileIsSetAsideWithOneBoxAndTheRestGoOn)
{
    platform.files[InOutbox("0000000000000003.adi")] =
        FakeFile{kContactB, OpenStatus::Failed, "Access is denied."};
    Log(kContactA);
    for (int i = 0; i < 3; ++i)
        Tick();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC"})) << "taken as 4, sent past 3";
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_NE(platform.boxes[0].find("0000000000000003.adi"), std::string::npos);
    EXPECT_NE(platform.boxes[0].find("Access is denied."), std::string::npos);
    EXPECT_EQ(Outbox(), (std::vector<std::string>{"0000000000000003.adi"})) << "kept, not lost";
}

TEST_F(TransferTest, DeliveryThatCannotBeRecordedIsNeverSentAgain)
{
    Log(kContactA);
    platform.files[kPath].removeError = "Access is denied.";
    Tick();
    Tick();
    EXPECT_EQ(platform.sent.size(), 1u);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_NE(platform.boxes[0].find("Access is denied."), std::string::npos);
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
}

// Late contacts: one box per run of them (a late one gone, and the next
// not late or none), one box at a time, counted on the status line.
TEST_F(TransferTest, LateContactsMakeOneBoxPerRunAndOneAtATime)
{
    // Ended at `end` on 2026-12-08; the clock is at 06:20:00 there.
    const auto contact = [](const std::string& call, const char* end) {
        return "<call:5>" + call +
               " <band:3>20m <mode:3>FT8 <qso_date:8>20261208 "
               "<time_on:6>041000 <qso_date_off:8>20261208 <time_off:6>" +
               end + " <eor>\n";
    };
    platform.now = *AdifMoment("20261208", "062000");
    Log("x<eoh>\n" + contact("L1AAA", "041500") + contact("L2AAA", "041400") +
        contact("O1AAA", "061500") + contact("L3AAA", "041500"));
    Tick();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"L1AAA", "L2AAA", "O1AAA", "L3AAA"}));
    ASSERT_EQ(platform.boxes.size(), 2u);
    const std::string& first = platform.boxes[0];
    EXPECT_EQ(first.rfind("Logvex took 2 contacts late, 2 h 5 min to 2 h 6 min after", 0), 0u)
        << first;
    for (const char* line :
         {"\nL1AAA  20m  FT8  2026-12-08 04:10 UTC\n", "\nL2AAA  20m  FT8  2026-12-08 04:10 UTC\n",
          "wrong time", kPaths.sent.c_str()})
        EXPECT_NE(first.find(line), std::string::npos) << line << " in " << first;
    EXPECT_EQ(first.find("O1AAA"), std::string::npos) << first;
    EXPECT_EQ(platform.boxes[1].rfind("Logvex took 1 contact late, 2 h 5 min after it", 0), 0u);
    EXPECT_EQ(transfer.GetProgress().late, 3u);
    EXPECT_EQ(transfer.GetProgress().lastLateBy, "2 h 5 min");

    // While that box is up, late ones wait for the next: one, once it is closed.
    platform.boxesPending = {platform.boxes[1]};
    std::string many = "x<eoh>\n";
    for (int i = 10; i < 22; ++i)
        many += contact("M" + std::to_string(i) + "AA", "041500");
    Log(many);
    Tick();
    Log("x<eoh>\n" + contact("O2AAA", "061500"));
    Tick();
    EXPECT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(transfer.GetProgress().lastLateBy, "");
    platform.boxesPending.clear();
    Tick();
    ASSERT_EQ(platform.boxes.size(), 3u);
    EXPECT_EQ(platform.boxes[2].rfind("Logvex took 12 contacts late", 0), 0u) << platform.boxes[2];
    EXPECT_NE(platform.boxes[2].find("M19AA"), std::string::npos);
    EXPECT_EQ(platform.boxes[2].find("M20AA"), std::string::npos) << "ten listed";
    EXPECT_NE(platform.boxes[2].find("\nand 2 more\n"), std::string::npos) << platform.boxes[2];
    EXPECT_EQ(transfer.GetProgress().late, 15u);

    // In Logvex's hands (it may ask its user), a late one is named with its
    // own date and time.
    Log("x<eoh>\n" + contact("H1AAA", "041500"));
    platform.sendResults = {SendStatus::InFlight};
    Tick();
    EXPECT_EQ(transfer.GetProgress().lateInHandsCall, "H1AAA");
    EXPECT_EQ(transfer.GetProgress().lateInHandsAt, "2026-12-08 04:10");
    EXPECT_EQ(platform.boxes.size(), 3u) << "no box while it is in hands";
    transfer.SendFinished(SendStatus::Delivered);
    EXPECT_EQ(transfer.GetProgress().lateInHandsCall, "");
    EXPECT_EQ(platform.boxes.size(), 4u);
}

TEST_F(TransferTest, RefusedSendIsReportedOnceAndTheContactWaits)
{
    Log(kContactA);
    platform.sendResults = {SendStatus::Refused, SendStatus::Refused, SendStatus::Refused};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Tick().send, SendOutcome::Refused);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_NE(platform.boxes[0].find("higher rights"), std::string::npos);
    EXPECT_EQ(Outbox().size(), 1u);
    EXPECT_EQ(Tick().send, SendOutcome::Sent);
    EXPECT_EQ(platform.sent.size(), 1u);
}

TEST_F(TransferTest, SendInFlightLetsTicksTakeFilesAndRecordsWhenItEnds)
{
    Log(kContactA);
    platform.sendResults = {SendStatus::InFlight};
    EXPECT_EQ(Tick().send, SendOutcome::InFlight);
    EXPECT_TRUE(transfer.SendInFlight());
    Log(kContactB);
    const TickOutcome during = Tick();
    EXPECT_EQ(during.take, TakeOutcome::Taken);
    EXPECT_EQ(during.send, SendOutcome::InFlight);
    EXPECT_EQ(platform.sendAttempts, 1) << "one send at a time";

    // Not delivered: A waits and goes again; delivered: recorded, B follows.
    EXPECT_EQ(transfer.SendFinished(SendStatus::NotDelivered), SendOutcome::Held);
    EXPECT_EQ(Outbox().size(), 2u);
    platform.sendResults = {SendStatus::InFlight};
    Tick();
    EXPECT_EQ(transfer.SendFinished(SendStatus::Delivered), SendOutcome::Sent);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"G4XYZ"})) << "the fake records only B's send";
    EXPECT_TRUE(Outbox().empty());
    EXPECT_EQ(transfer.SendFinished(SendStatus::Delivered), SendOutcome::NotRun);
}

TEST_F(TransferTest, OldLogMovedAsideAtStartUpOnceWsjtxLetsGo)
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
TEST_F(TransferTest, OnlyTheFirstStartInAFolderMovesALogAside)
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

TEST_F(TransferTest, OldLogThatCannotBeMovedIsReportedOnceAndNeverSent)
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

namespace plovik {
namespace {

TEST(InstanceFolders, WsjtxAndJtdxUnderEveryName)
{
    for (const char* name : {"WSJT-X", "WSJT-X - IC7300", "WSJT-X - test", "JTDX", "JTDX - FT991"})
        EXPECT_TRUE(IsInstanceFolderName(name)) << name;
    for (const char* name :
         {"WSJT-X - ", "WSJT-X-IC7300", "wsjt-x", "JTDX2", "WSJT-X x", "JTAlert", "", "WSJT"})
        EXPECT_FALSE(IsInstanceFolderName(name)) << name;
}

// Every instance's folder is watched, one found later too (its log is new),
// and the contacts go in the order they were taken, whatever another
// folder's outbox holds.
TEST(Instances, EachFolderFoundAndSentInTheOrderTaken)
{
    FakePlatform platform;
    platform.folders = {"L/WSJT-X", "L/Thunderbird", "L/JTDX"};
    const auto log = [&](const std::string& folder, const std::string& call) {
        platform.files["L/" + folder + "/wsjtx_log.adi"] =
            FakeFile{"x<eoh>\n<call:" + std::to_string(call.size()) + ">" + call + " <eor>\n"};
    };
    log("JTDX", "OLD1"); // history at the first start: moved aside
    QsoRecord record;
    std::uint8_t noFreq = 0;
    Transfer transfer(platform, platform, record, noFreq);
    transfer.WatchInstancesIn("L", '/');
    // Looked for again only when the caller says the root changed.
    bool rootChanged = false;
    transfer.LookForInstancesWhen([&] { return std::exchange(rootChanged, false); });
    transfer.StartUp();
    EXPECT_EQ(transfer.Folders(), (std::vector<std::string>{"L/JTDX", "L/WSJT-X"}));
    EXPECT_TRUE(platform.Exists("L/JTDX/wsjtx_log_bak.adi"));

    const auto tick = [&](WindowRef logvex) { transfer.RunTick([&] { return logvex; }); };
    log("WSJT-X", "K1A");
    tick(0);
    log("JTDX", "J1A");
    tick(0);
    platform.folders.push_back("L/WSJT-X - IC7300"); // a second rig started
    log("WSJT-X - IC7300", "R1A");
    log("WSJT-X", "K2A");
    tick(0);
    EXPECT_EQ(transfer.Folders().size(), 2u) << "looked for folders with no change told";
    // A root that cannot be read is looked in again at the next tick, told or not.
    platform.listError = "The device is not ready.";
    rootChanged = true;
    tick(0);
    platform.listError.clear();
    tick(0);
    EXPECT_EQ(transfer.Folders(),
              (std::vector<std::string>{"L/JTDX", "L/WSJT-X", "L/WSJT-X - IC7300"}));
    // A file WSJT-X's outbox cannot read holds up none of the others.
    platform.files["L/WSJT-X/plovik_bridge_outbox/0000000000000009.adi"] =
        FakeFile{"x", OpenStatus::Failed, "Access is denied."};
    tick(kLogvex);
    std::vector<std::string> calls;
    for (const auto& packet : platform.sent)
        calls.push_back(packet.data.substr(0, packet.data.find('#')));
    EXPECT_EQ(calls, (std::vector<std::string>{"K1A", "J1A", "K2A", "R1A"}));
    EXPECT_EQ(platform.boxes.size(), 1u);
    EXPECT_FALSE(platform.Exists("L/WSJT-X - IC7300/wsjtx_log_bak.adi"))
        << "a new folder's log is new";

    // Two logs that cannot be read: one box each, not one each tick.
    for (const char* log : {"L/JTDX/wsjtx_log.adi", "L/WSJT-X/wsjtx_log.adi"})
        platform.files[log] = FakeFile{"x", OpenStatus::Failed, "Access is denied."};
    const std::size_t boxes = platform.boxes.size();
    for (int i = 0; i < 4; ++i)
        tick(kLogvex);
    EXPECT_EQ(platform.boxes.size(), boxes + 2);
}

} // namespace
} // namespace plovik
