// Many contacts at WSJT-X's pace while Logvex closes and comes back now and
// then, at times staying away while contacts are logged: every contact
// arrives exactly once, in order, byte for byte. PLOVIK_SOAK_CONTACTS sets
// how many (20 by default, the short run of the test suite; scripts/soak.sh
// runs the long one), PLOVIK_SOAK_SEED the seed of all the chance in it.

#include "bridge_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace e2e {
namespace {

using Soak = BridgeTest;

unsigned long EnvNumber(const char* name, unsigned long fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::strtoul(value, nullptr, 10) : fallback;
}

// A distinct five-character call for each contact, so any loss, repeat or
// reordering shows as such (room for 703 040 of them).
std::string CallSign(std::size_t index)
{
    std::string call = "K0AAA";
    call[1] = static_cast<char>('0' + index % 10);
    index /= 10;
    for (std::size_t at = 4; at >= 2; --at) {
        call[at] = static_cast<char>('A' + index % 26);
        index /= 26;
    }
    call[0] = "KWNG"[index % 4];
    return call;
}

// 100-ns units since 1601, the clock of wsjtx-peer's --times.
unsigned long long PreciseNow()
{
    FILETIME now;
    ::GetSystemTimePreciseAsFileTime(&now);
    return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// A span of time Logvex was not there, in 100-ns units since 1601.
struct Absence {
    unsigned long long from = 0, to = 0;
};

struct Tally {
    std::size_t received = 0, lost = 0, duplicated = 0, outOfOrder = 0, unknown = 0;
    std::string report; // which contacts, one a line
};

// Compares what Logvex got with what was logged, contact by contact.
Tally Compare(const std::vector<std::string>& expected, const std::vector<std::string>& calls,
              const std::vector<Received>& got, const std::vector<unsigned long long>& loggedAt,
              const std::vector<Absence>& absences)
{
    std::map<std::string, std::size_t> indexOf;
    for (std::size_t i = 0; i < expected.size(); ++i)
        indexOf[expected[i]] = i;
    Tally tally;
    tally.received = got.size();
    std::vector<std::size_t> times(expected.size(), 0);
    std::ostringstream report;
    bool anyYet = false;
    std::size_t latest = 0;
    for (std::size_t n = 0; n < got.size(); ++n) {
        const auto found = indexOf.find(got[n].bytes);
        if (found == indexOf.end()) {
            ++tally.unknown;
            report << "message " << n << " is no contact as logged: " << got[n].bytes << "\n";
            continue;
        }
        const std::size_t i = found->second;
        if (++times[i] > 1) {
            ++tally.duplicated;
            report << "contact " << i << " " << calls[i] << " again as message " << n << "\n";
        } else if (anyYet && i < latest) {
            ++tally.outOfOrder;
            report << "contact " << i << " " << calls[i] << " came after contact " << latest << " "
                   << calls[latest] << "\n";
        }
        if (!anyYet || i > latest)
            latest = i;
        anyYet = true;
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (times[i] > 0)
            continue;
        ++tally.lost;
        report << "contact " << i << " " << calls[i] << " lost";
        for (const Absence& away : absences)
            if (i < loggedAt.size() && loggedAt[i] >= away.from && loggedAt[i] < away.to)
                report << " (logged while Logvex was away)";
        report << "\n";
    }
    tally.report = report.str();
    return tally;
}

// When each contact was written: the first number of each line wsjtx-peer
// put in its --times file.
std::vector<unsigned long long> LoggedTimes(const std::string& path)
{
    std::vector<unsigned long long> times;
    std::istringstream lines(ReadFileBytes(path));
    unsigned long long time = 0;
    int attempts = 0;
    while (lines >> time >> attempts)
        times.push_back(time);
    return times;
}

TEST_F(Soak, ManyContactsAtWsjtxPaceWhileLogvexRestartsAtRandom)
{
    const std::size_t count = EnvNumber("PLOVIK_SOAK_CONTACTS", 20);
    const unsigned long seed = EnvNumber("PLOVIK_SOAK_SEED", 1207);
    ASSERT_GT(count, 0u);
    const DWORD started = ::GetTickCount();

    // Both sample contacts, in turn, each under a call of its own.
    const std::string samples[2] = {WsjtxSamples().k1abc, WsjtxSamples().g4xyz};
    std::string texts[2];
    for (int s = 0; s < 2; ++s) {
        ASSERT_EQ(samples[s].substr(0, 8), "<call:5>");
        texts[s] = Adif2msg(WsjtxSamples().header + samples[s] + "\r\n");
        ASSERT_EQ(texts[s].substr(0, 6), samples[s].substr(8, 5) + "#");
    }
    ASSERT_EQ(texts[0], kTextK1abc);
    std::vector<std::string> calls, expected;
    std::string records;
    for (std::size_t i = 0; i < count; ++i) {
        calls.push_back(CallSign(i));
        records += "<call:5>" + calls[i] + samples[i % 2].substr(13) + "\r\n";
        expected.push_back(calls[i] + texts[i % 2].substr(5));
    }
    const std::string recordFile = m_scratch + "\\records.txt";
    const std::string timesFile = m_scratch + "\\logged.txt";
    WriteFileBytes(recordFile, records);
    RemoveFile(timesFile);

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
    const std::unique_ptr<Process> writer = LogInBackground(
        {}, "--append " + Quote(recordFile) + " --gap-min-ms 1100 --gap-max-ms 3000 --seed " +
                std::to_string(seed) + " --times " + Quote(timesFile));
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
    EXPECT_EQ(writer->WaitExit(0), 0) << "WSJT-X could not write every contact in time";
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
    GotExactly(count, 15000);

    const std::vector<unsigned long long> loggedAt = LoggedTimes(timesFile);
    const Tally tally = Compare(expected, calls, Got(), loggedAt, absences);
    std::printf(
        "soak: seed %lu, contacts written %zu, received %zu, lost %zu, duplicated %zu, "
        "out of order %zu, not a logged contact %zu, Logvex restarts %d, wall time %.0f s\n",
        seed, loggedAt.size(), tally.received, tally.lost, tally.duplicated, tally.outOfOrder,
        tally.unknown, restarts, (::GetTickCount() - started) / 1000.0);
    std::fflush(stdout);
    EXPECT_EQ(loggedAt.size(), count) << "contacts WSJT-X wrote";
    EXPECT_EQ(tally.received, count);
    EXPECT_EQ(tally.lost, 0u);
    EXPECT_EQ(tally.duplicated, 0u);
    EXPECT_EQ(tally.outOfOrder, 0u);
    EXPECT_EQ(tally.unknown, 0u);
    EXPECT_TRUE(tally.report.empty()) << tally.report;
    EXPECT_GT(restarts, 0) << "Logvex never came back: nothing was soaked";
}

} // namespace
} // namespace e2e
