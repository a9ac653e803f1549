#include "soak.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

namespace e2e {
namespace {

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

// One line of wsjtx-peer's --times file per contact, in logging order.
struct Logged {
    unsigned long long time = 0;
    bool written = false;
};

std::vector<Logged> ReadLogged(const std::string& path)
{
    std::vector<Logged> logged;
    std::istringstream lines(ReadFileBytes(path));
    Logged one;
    int written = 0;
    while (lines >> one.time >> written) {
        one.written = written == 1;
        logged.push_back(one);
    }
    return logged;
}

} // namespace

unsigned long EnvNumber(const char* name, unsigned long fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::strtoul(value, nullptr, 10) : fallback;
}

unsigned long long PreciseNow()
{
    FILETIME now;
    ::GetSystemTimePreciseAsFileTime(&now);
    return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

std::string Figures(const Tally& tally)
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "contacts written %zu, WSJT-X could not log %zu, received %zu, lost %zu, "
                  "duplicated %zu, out of order %zu, not a logged contact %zu",
                  tally.written, tally.refused, tally.received, tally.lost, tally.duplicated,
                  tally.outOfOrder, tally.unknown);
    return text;
}

void SoakTest::PrepareContacts(std::size_t count, const std::vector<std::string>& alsoInto)
{
    for (const std::string& name : alsoInto)
        m_alsoLogs.push_back(InstanceFolder(name) + "\\wsjtx_log.adi");
    ASSERT_GT(count, 0u);
    const std::string samples[2] = {WsjtxSamples().k1abc, WsjtxSamples().g4xyz};
    std::string texts[2];
    for (int s = 0; s < 2; ++s) {
        ASSERT_EQ(samples[s].substr(0, 8), "<call:5>");
        texts[s] = Adif2msg(WsjtxSamples().header + samples[s] + "\r\n");
        ASSERT_EQ(texts[s].substr(0, 6), samples[s].substr(8, 5) + "#");
    }
    ASSERT_EQ(texts[0], kTextK1abc);
    std::string records;
    for (std::size_t i = 0; i < count; ++i) {
        calls.push_back(CallSign(i));
        records += "<call:5>" + calls[i] + samples[i % 2].substr(13) + "\r\n";
        expected.push_back(calls[i] + texts[i % 2].substr(5));
    }
    m_recordFile = m_scratch + "\\records.txt";
    m_timesFile = m_scratch + "\\logged.txt";
    WriteFileBytes(m_recordFile, records);
    RemoveFile(m_timesFile);
}

std::unique_ptr<Process> SoakTest::StartLogging(unsigned long seed)
{
    std::string alsoLogs;
    for (const std::string& log : m_alsoLogs)
        alsoLogs += " --also-log " + Quote(log);
    return LogInBackground({}, "--append " + Quote(m_recordFile) + alsoLogs +
                                   " --gap-min-ms 1100 --gap-max-ms 3000 --seed " +
                                   std::to_string(seed) + " --times " + Quote(m_timesFile));
}

std::size_t SoakTest::LoggedSoFar() const
{
    return ReadLogged(m_timesFile).size();
}

void SoakTest::AwaitEveryWrittenContact(DWORD timeoutMs)
{
    std::size_t written = 0;
    for (const Logged& one : ReadLogged(m_timesFile))
        written += one.written ? 1 : 0;
    const auto distinct = [&] {
        std::map<std::string, int> seen;
        for (const Received& r : Got())
            seen[r.bytes] = 1;
        return seen.size();
    };
    WaitFor([&] { return distinct() >= written; }, timeoutMs);
    ::Sleep(1500); // a further tick: a contact sent again shows up
}

Tally SoakTest::Compare(const std::vector<Absence>& absences) const
{
    const std::vector<Logged> logged = ReadLogged(m_timesFile);
    const std::vector<Received> got = Got();
    std::map<std::string, std::size_t> indexOf;
    for (std::size_t i = 0; i < expected.size(); ++i)
        indexOf[expected[i]] = i;
    Tally tally;
    tally.received = got.size();
    std::vector<std::size_t> times(expected.size(), 0);
    std::ostringstream report;
    // Order counts within each log: contact i went to log i % logs.
    const std::size_t logs = 1 + m_alsoLogs.size();
    std::vector<char> anyYetIn(logs, 0);
    std::vector<std::size_t> latestIn(logs, 0);
    for (std::size_t n = 0; n < got.size(); ++n) {
        const auto found = indexOf.find(got[n].bytes);
        if (found == indexOf.end()) {
            ++tally.unknown;
            report << "message " << n << " is no contact as logged: " << got[n].bytes << "\n";
            continue;
        }
        const std::size_t i = found->second;
        char& anyYet = anyYetIn[i % logs];
        std::size_t& latest = latestIn[i % logs];
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
        const bool written = i < logged.size() && logged[i].written;
        tally.written += written ? 1 : 0;
        if (i < logged.size() && !written) {
            ++tally.refused;
            report << "contact " << i << " " << calls[i] << ": WSJT-X could not log it\n";
            continue;
        }
        if (times[i] > 0)
            continue;
        ++tally.lost;
        report << "contact " << i << " " << calls[i] << " lost";
        for (const Absence& away : absences)
            if (written && logged[i].time >= away.from && logged[i].time < away.to)
                report << " (logged while Logvex was away)";
        report << "\n";
    }
    tally.report = report.str();
    return tally;
}

void SoakTest::ExpectEachOnceInOrder(const Tally& tally, std::size_t count, std::size_t duplicates)
{
    EXPECT_EQ(tally.written + tally.refused, count) << "contacts WSJT-X tried to log";
    EXPECT_EQ(tally.refused, 0u) << "WSJT-X could not log them: the bridge held its file";
    EXPECT_EQ(tally.lost, 0u);
    EXPECT_LE(tally.duplicated, duplicates);
    EXPECT_EQ(tally.outOfOrder, 0u);
    EXPECT_EQ(tally.unknown, 0u);
    if (tally.refused + tally.lost + tally.outOfOrder + tally.unknown > 0 ||
        tally.duplicated > duplicates)
        ADD_FAILURE() << tally.report;
}

} // namespace e2e
