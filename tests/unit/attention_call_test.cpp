// The call for attention: a contact that has waited two minutes while
// Logvex cannot take it calls the operator, once per stretch of waiting.

#include "attention_call.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plovik {
namespace {

// What keeps Logvex from taking a contact.
enum class Why { NotThere, Refusing, NotResponding, NotRespondingInFlightFirst };

class AttentionCallTest : public TransferTest, public ::testing::WithParamInterface<Why> {
protected:
    void TryToSend()
    {
        switch (GetParam()) {
        case Why::NotThere:
            Tick(0);
            return;
        case Why::Refusing:
            platform.sendResults = {SendStatus::Refused};
            break;
        case Why::NotResponding:
            platform.sendResults = {SendStatus::NotDelivered};
            break;
        case Why::NotRespondingInFlightFirst: // as the sender thread gives it
            platform.sendResults = {SendStatus::InFlight};
            Tick();
            transfer.SendFinished(SendStatus::NotDelivered);
            return;
        }
        Tick();
    }
};

TEST_P(AttentionCallTest, CalledAtTwoMinutesOncePerStretch)
{
    const Progress& progress = transfer.GetProgress();
    platform.now = 1'000'000;
    for (std::size_t stretch = 1; stretch <= 2; ++stretch) {
        const UtcSeconds logged = platform.now;
        Log(stretch == 1 ? kContactA : kContactB);
        TryToSend();
        platform.now = logged + kCallAfterSeconds - 1;
        TryToSend();
        EXPECT_EQ(progress.oldestWait, kCallAfterSeconds - 1);
        EXPECT_FALSE(progress.calling) << "called before two minutes";
        EXPECT_EQ(progress.calls, stretch - 1);
        platform.now = logged + kCallAfterSeconds;
        TryToSend();
        EXPECT_TRUE(progress.calling);
        EXPECT_EQ(progress.calls, stretch);
        for (int minute = 0; minute < 10; ++minute) {
            platform.now += 60;
            TryToSend();
        }
        EXPECT_EQ(progress.calls, stretch) << "called twice in one stretch";
        EXPECT_TRUE(progress.calling);
        // Logvex takes it: the call and its stretch end.
        Tick();
        EXPECT_FALSE(progress.calling);
        EXPECT_EQ(progress.oldestWait, 0);
        platform.now += 3600;
    }
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC", "G4XYZ"}));
}

INSTANTIATE_TEST_SUITE_P(LogvexCannotTake, AttentionCallTest,
                         ::testing::Values(Why::NotThere, Why::Refusing, Why::NotResponding,
                                           Why::NotRespondingInFlightFirst));

TEST_F(AttentionCallTest, NoCallWhileLogvexTakesContacts)
{
    platform.now = 1'000'000;
    Log(kContactsAB);
    // Logvex holds the first for five minutes (its user answers a prompt).
    platform.sendResults = {SendStatus::InFlight};
    for (int second = 0; second <= 300; ++second, ++platform.now)
        Tick();
    EXPECT_EQ(transfer.GetProgress().oldestWait, 300);
    EXPECT_EQ(transfer.SendFinished(SendStatus::Delivered), SendOutcome::Sent);
    // A backlog taken slowly, one contact a tick.
    for (int contact = 0; contact < 5; ++contact) {
        Log(kContactA);
        platform.sendResults = {SendStatus::InFlight};
        platform.now += 150;
        Tick();
        transfer.SendFinished(SendStatus::Delivered);
    }
    EXPECT_EQ(transfer.GetProgress().calls, 0u);
    EXPECT_FALSE(transfer.GetProgress().calling);
}

} // namespace
} // namespace plovik
