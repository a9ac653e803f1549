// The tick's transfer step: WSJT-X's file taken into the outbox at once,
// the outbox sent oldest first with each delivery recorded before the next
// send, no stacked boxes, no nested reads, bad files set aside.

#include "lateness.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace plovik {
namespace {

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
    EXPECT_EQ(Asked(), (std::vector<std::string>{"K1ABC", "G4XYZ"}))
        << "the second contact waited for the next tick";
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
        EXPECT_EQ(platform.asked.size(), static_cast<std::size_t>(tick));
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

TEST_F(TransferTest, CloseBetweenTwoSendsLeavesTheRestInTheOutbox)
{
    Log("x<eoh>\n<call:5>K1AAA <eor>\n<call:5>K1BBB <eor>\n<call:5>K1CCC <eor>\n");
    // The user closes the window once the first message has gone.
    platform.onDrain = [&] { return platform.asked.empty(); };
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

    // On time when it went, late while Logvex still holds it: named at the
    // next tick.
    Log("x<eoh>\n" + contact("H2AAA", "061800"));
    platform.sendResults = {SendStatus::InFlight};
    Tick();
    EXPECT_EQ(transfer.GetProgress().lateInHandsCall, "");
    platform.now += 15 * 60;
    Tick();
    EXPECT_EQ(transfer.GetProgress().lateInHandsCall, "H2AAA");
    EXPECT_EQ(transfer.GetProgress().lateInHandsAt, "2026-12-08 04:10");
}

// So is an outbox that cannot be listed while Logvex waits for it. Once a
// contact has gone, each is news again.
TEST_F(TransferTest, RefusedSendIsReportedOnceAndTheContactWaits)
{
    // A delivery makes the next refusal news, whether it came at once or,
    // in the second round, from the sender thread.
    for (std::size_t round = 1; round <= 3; ++round) {
        Log(kContactA);
        Tick(0);
        platform.listError = "Access is denied.";
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(Tick().send, SendOutcome::Held);
        platform.listError.clear();
        ASSERT_EQ(platform.boxes.size(), 2 * round - 1);
        EXPECT_NE(platform.boxes.back().find("Access is denied."), std::string::npos);
        platform.sendResults = {SendStatus::Refused, SendStatus::Refused, SendStatus::Refused};
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Tick().send, SendOutcome::Refused);
        ASSERT_EQ(platform.boxes.size(), 2 * round);
        EXPECT_NE(platform.boxes.back().find("higher rights"), std::string::npos);
        EXPECT_EQ(Outbox().size(), 1u);
        if (round == 2) {
            platform.sendResults = {SendStatus::InFlight};
            EXPECT_EQ(Tick().send, SendOutcome::InFlight);
            EXPECT_EQ(transfer.SendFinished(SendStatus::Delivered), SendOutcome::Idle);
        } else
            EXPECT_EQ(Tick().send, SendOutcome::Sent);
        EXPECT_TRUE(Outbox().empty());
        EXPECT_EQ(transfer.GetProgress().delivered, round);
    }
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
    EXPECT_EQ(platform.asked.size(), 1u) << "one send at a time";

    // Not delivered: A waits and goes again; delivered: recorded, B follows.
    EXPECT_EQ(transfer.SendFinished(SendStatus::NotDelivered), SendOutcome::Held);
    EXPECT_EQ(Outbox().size(), 2u);
    platform.sendResults = {SendStatus::InFlight};
    Tick();
    EXPECT_EQ(transfer.SendFinished(SendStatus::Delivered), SendOutcome::Sent);
    EXPECT_EQ(Asked(), (std::vector<std::string>{"K1ABC", "K1ABC", "G4XYZ"}))
        << "A again once not delivered, then B";
    EXPECT_TRUE(Outbox().empty());
    EXPECT_EQ(transfer.SendFinished(SendStatus::Delivered), SendOutcome::NotRun);
}

} // namespace
} // namespace plovik
