// Contacts at WSJT-X's pace, logged in turn by WSJT-X and by JTDX for a
// second rig into their own folders, while the bridge is ended hard at random moments
// (as Task Manager, a crash or a power cut would end it) and started again,
// and Logvex comes and goes, at times hung, at times asking its user about a
// contact inside its handler: no contact is lost, none comes
// out of order within its folder, and at most one per kill comes twice (the one Logvex had
// handled just before the kill). PLOVIK_KILL_SOAK_CONTACTS sets how many
// (16 by default, the short run of the test suite; scripts/kill_soak.sh
// runs the long one), PLOVIK_SOAK_SEED the seed of all the chance in it,
// PLOVIK_KILL_SOAK_PROMPT_MS how long a prompt lasts (6 s by default).

#include "soak.h"

#include <cstdio>
#include <random>

namespace e2e {
namespace {

using KillSoak = SoakTest;

// True while Logvex's window exists but does not answer.
bool LogvexHung()
{
    DWORD_PTR result = 0;
    const HWND window = FindLogvex();
    return window && !::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                            300, &result);
}

bool Due(DWORD at)
{
    return static_cast<LONG>(::GetTickCount() - at) >= 0;
}

TEST_F(KillSoak, ContactsAtWsjtxPaceWhileTheBridgeIsKilledAtRandom)
{
    const std::size_t count = EnvNumber("PLOVIK_KILL_SOAK_CONTACTS", 16);
    const unsigned long seed = EnvNumber("PLOVIK_SOAK_SEED", 1207);
    // How long a prompting Logvex asks its user about a contact.
    const DWORD promptMs = EnvNumber("PLOVIK_KILL_SOAK_PROMPT_MS", 6000);
    const DWORD started = ::GetTickCount();
    ASSERT_NO_FATAL_FAILURE(PrepareContacts(count, {"JTDX - IC7300"}));
    // No backup: only the first start finds old history, so every restart
    // must send what WSJT-X logged while the bridge was down.

    std::mt19937 random(seed);
    const auto chance = [&random](long low, long high) {
        return static_cast<DWORD>(std::uniform_int_distribution<long>(low, high)(random));
    };
    std::size_t kills = 0, killsWhileHung = 0;
    int logvexStarts = 0;
    std::vector<Absence> absences;
    DWORD nextKill = ::GetTickCount() + chance(300, 6000);
    DWORD logvexEnds = 0, logvexBack = 0, hangEnds = 0;
    bool closing = false, killOnNextContact = false;
    // Every other Logvex hangs from its start for 5 to 10 s. The first
    // contact logged in that time is taken and cannot be delivered: a kill
    // comes soon after it, and the user then ends the hung Logvex. Every
    // fourth asks its user about its second contact inside its handler,
    // while the bridge may be killed and started again.
    const auto startLogvex = [&] {
        std::string options;
        hangEnds = ::GetTickCount();
        if (logvexStarts % 4 == 2)
            options = "--prompt-at 2 --prompt " + std::to_string(promptMs);
        if (logvexStarts % 2 == 1) {
            const DWORD hangSeconds = chance(5, 10);
            options = "--hang-at 0 --hang-seconds " + std::to_string(hangSeconds);
            hangEnds += hangSeconds * 1000;
            killOnNextContact = true;
        }
        StartLogvex(options);
        ++logvexStarts;
        logvexEnds = ::GetTickCount() + chance(3000, 15000);
        closing = false;
        if (!absences.empty())
            absences.back().to = PreciseNow();
    };

    ASSERT_NO_FATAL_FAILURE(startLogvex());
    ASSERT_NO_FATAL_FAILURE(StartBridge());
    const std::unique_ptr<Process> writer = StartLogging(seed);
    const DWORD writerDeadline = ::GetTickCount() + static_cast<DWORD>(count * 3000 + 30000);
    std::size_t logged = 0;
    while (writer->Running() && !Due(writerDeadline)) {
        const std::size_t loggedNow = LoggedSoFar();
        if (killOnNextContact && loggedNow > logged && !Due(hangEnds - 1500)) {
            nextKill = ::GetTickCount() + chance(100, 1000);
            logvexEnds = nextKill + chance(0, 1000);
            killOnNextContact = false;
        }
        logged = loggedNow;
        if (Due(nextKill)) {
            killsWhileHung += LogvexHung() ? 1 : 0;
            ASSERT_TRUE(bridge->Kill()) << "the bridge did not end";
            ++kills;
            ASSERT_TRUE(WaitFor([] { return FindBridge() == nullptr; })) << "its window stays";
            ::Sleep(chance(0, 3) == 0 ? 0 : chance(0, 1500));
            ASSERT_NO_FATAL_FAILURE(StartBridge());
            nextKill = ::GetTickCount() + chance(300, 6000);
        }
        // Logvex is closed by the user (a hung one ended), stays away a
        // while, at times not at all, and comes back.
        if (logvex && logvex->Running() && !closing && Due(logvexEnds)) {
            if (!Due(hangEnds - 500)) {
                ASSERT_TRUE(logvex->Kill()) << "the hung Logvex did not end";
            } else {
                ::PostMessageA(FindLogvex(), WM_CLOSE, 0, 0);
            }
            closing = true;
        } else if (closing && !logvex->Running()) {
            logvex.reset();
            closing = false;
            absences.push_back(Absence{PreciseNow(), ~0ull});
            logvexBack = ::GetTickCount() + (chance(0, 2) == 0 ? 0 : chance(500, 4000));
        } else if (!logvex && Due(logvexBack)) {
            ASSERT_NO_FATAL_FAILURE(startLogvex());
        }
        ::Sleep(20);
    }
    EXPECT_EQ(writer->WaitExit(0), 0) << "-1: WSJT-X still logging at the deadline; 2: it could "
                                         "not log a contact";
    // The last contacts go to a Logvex that stays (a hung one recovers).
    if (closing) {
        ASSERT_NE(logvex->WaitExit(15000 + promptMs), -1) << "Logvex did not close";
        logvex.reset();
        absences.push_back(Absence{PreciseNow(), ~0ull});
    }
    if (!logvex) {
        ASSERT_NO_FATAL_FAILURE(StartLogvex());
        absences.back().to = PreciseNow();
    }
    AwaitEveryWrittenContact(30000 + promptMs);

    const Tally tally = Compare(absences);
    std::printf("kill soak: seed %lu, %s, kills %zu (%zu while Logvex hung), Logvex starts %d, "
                "wall time %.0f s\n",
                seed, Figures(tally).c_str(), kills, killsWhileHung, logvexStarts,
                (::GetTickCount() - started) / 1000.0);
    std::fflush(stdout);
    ExpectEachOnceInOrder(tally, count, kills);
    EXPECT_GT(kills, 0u) << "the bridge was never killed: nothing was soaked";
    EXPECT_GT(killsWhileHung, 0u) << "no kill fell while Logvex was hung";
    EXPECT_FALSE(FileExists(files.backup)) << "a restart put contacts aside as old history";
}

} // namespace
} // namespace e2e
