// Many contacts at WSJT-X's pace while Logvex closes and comes back now and
// then, at times staying away while contacts are logged: every contact
// arrives exactly once, in order, byte for byte. PLOVIK_SOAK_CONTACTS sets
// how many (20 by default, the short run of the test suite; scripts/soak.sh
// runs the long one), PLOVIK_SOAK_SEED the seed of all the chance in it.

#include "soak.h"

#include <cstdio>
#include <random>

namespace e2e {
namespace {

using Soak = SoakTest;

TEST_F(Soak, ManyContactsAtWsjtxPaceWhileLogvexRestartsAtRandom)
{
    const std::size_t count = EnvNumber("PLOVIK_SOAK_CONTACTS", 20);
    const unsigned long seed = EnvNumber("PLOVIK_SOAK_SEED", 1207);
    const DWORD started = ::GetTickCount();
    ASSERT_NO_FATAL_FAILURE(PrepareContacts(count));

    std::mt19937 random(seed);
    const auto chance = [&random](long low, long high) {
        return std::uniform_int_distribution<long>(low, high)(random);
    };
    // Each time Logvex comes, it either closes by itself after a few
    // contacts or is closed by the user at some moment; it then stays away
    // a while (at times not at all) as contacts keep coming.
    int restarts = -1;
    bool closesByItself = false;
    DWORD closeAt = 0;
    std::vector<Absence> absences;
    const auto comeBack = [&] {
        closesByItself = chance(0, 1) == 0;
        closeAt = ::GetTickCount() + static_cast<DWORD>(chance(500, 8000));
        StartLogvex(closesByItself ? "--close-after " + std::to_string(chance(1, 4)) : "");
        ++restarts;
        if (!absences.empty())
            absences.back().to = PreciseNow();
    };
    const auto closeLogvex = [&] {
        ::PostMessageA(FindLogvex(), WM_CLOSE, 0, 0);
        return logvex->WaitExit(5000) == 0;
    };

    StartBridge();
    ASSERT_NO_FATAL_FAILURE(comeBack());
    const std::unique_ptr<Process> writer = StartLogging(seed);
    const DWORD writerDeadline = ::GetTickCount() + static_cast<DWORD>(count * 3000 + 30000);
    while (writer->Running() && static_cast<LONG>(writerDeadline - ::GetTickCount()) > 0) {
        if (logvex->Running()) {
            if (!closesByItself && static_cast<LONG>(::GetTickCount() - closeAt) >= 0) {
                ASSERT_TRUE(closeLogvex()) << "Logvex did not close";
            }
            ::Sleep(20);
            continue;
        }
        absences.push_back(Absence{PreciseNow(), ~0ull});
        const DWORD away = chance(0, 3) == 0 ? 0 : static_cast<DWORD>(chance(500, 6000));
        const DWORD back = ::GetTickCount() + away;
        while (writer->Running() && static_cast<LONG>(back - ::GetTickCount()) > 0)
            ::Sleep(20);
        ASSERT_NO_FATAL_FAILURE(comeBack());
    }
    EXPECT_EQ(writer->WaitExit(0), 0) << "-1: WSJT-X still logging at the deadline; 2: it could "
                                         "not log a contact";
    // The last contacts go to a Logvex that stays.
    if (logvex->Running() && closesByItself) {
        ASSERT_TRUE(closeLogvex()) << "Logvex did not close";
    }
    if (!logvex->Running()) {
        absences.push_back(Absence{PreciseNow(), ~0ull});
        ASSERT_NO_FATAL_FAILURE(StartLogvex());
        absences.back().to = PreciseNow();
        ++restarts;
    }
    AwaitEveryWrittenContact(15000);

    const Tally tally = Compare(absences);
    std::printf("soak: seed %lu, %s, Logvex restarts %d, wall time %.0f s\n", seed,
                Figures(tally).c_str(), restarts, (::GetTickCount() - started) / 1000.0);
    std::fflush(stdout);
    ExpectEachOnceInOrder(tally, count, 0);
    EXPECT_GT(restarts, 0) << "Logvex never came back: nothing was soaked";
}

} // namespace
} // namespace e2e
