#pragma once
// What the soaks share: many distinct contacts logged at WSJT-X's pace, and
// the comparison of what Logvex got with what WSJT-X could log.

#include "bridge_fixture.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

unsigned long EnvNumber(const char* name, unsigned long fallback);
// 100-ns units since 1601, the clock of wsjtx-peer's --times.
unsigned long long PreciseNow();

// A span of time Logvex was not there (or did not answer), in 100-ns units since 1601.
struct Absence {
    unsigned long long from = 0, to = 0;
};

struct Tally {
    std::size_t written = 0; // contacts WSJT-X logged to its file
    std::size_t refused = 0; // contacts WSJT-X could not log: its file was held
    std::size_t received = 0, lost = 0, duplicated = 0, outOfOrder = 0, unknown = 0;
    std::string report; // which contacts, one a line
};

// "contacts written 20, WSJT-X could not log 0, received 20, lost 0, ..."
std::string Figures(const Tally& tally);

class SoakTest : public BridgeTest {
protected:
    // Makes `count` contacts, the two samples in turn under calls of their own.
    // With `alsoInto` (instance folder names: "JTDX"), WSJT-X's log and
    // theirs take the contacts in turn; each keeps its own order.
    void PrepareContacts(std::size_t count, const std::vector<std::string>& alsoInto = {});
    // WSJT-X logs them all, 1.1 to 3 s apart, in the background.
    std::unique_ptr<Process> StartLogging(unsigned long seed);
    // How many contacts WSJT-X has tried to log so far.
    std::size_t LoggedSoFar() const;
    // Waits until Logvex has every contact WSJT-X wrote, and a further tick.
    void AwaitEveryWrittenContact(DWORD timeoutMs);
    Tally Compare(const std::vector<Absence>& absences) const;
    // Lost 0, at most `duplicates` twice, in order, all logged: each failure says which contacts.
    static void ExpectEachOnceInOrder(const Tally& tally, std::size_t count,
                                      std::size_t duplicates);

    std::vector<std::string> calls, expected;

private:
    std::string m_recordFile, m_timesFile;
    std::vector<std::string> m_alsoLogs;
};

} // namespace e2e
