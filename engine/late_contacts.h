#pragma once
// The contacts Logvex took late, gathered into runs: one box for each run
// (a late contact gone, and the next in line not late or none left), never
// one per contact, and one at a time. Late contacts taken while the last
// box is up go into the next, shown once it has been closed.

#include "clock.h"
#include "qso_record.h"
#include "reports.h"

#include <cstddef>
#include <string>

namespace plovik {

class LateContacts {
public:
    explicit LateContacts(Reports& reports) : m_reports(reports) {}

    // Logvex took `contact` at `taken`; `recordPath` keeps its times.
    // Returns how late it was (0: on time), and ends a run when on time.
    UtcSeconds Taken(const QsoRecord& contact, UtcSeconds taken, const std::string& recordPath);

    // The sending has stopped for now (nothing left, or Logvex away): the
    // run so far is complete. Also shows a box kept back while one was up.
    void SendingPaused() { EndRun(); }

    // Late contacts since the start.
    std::size_t Count() const { return m_count; }

private:
    void EndRun();

    Reports& m_reports;
    // For the next box: the run under way, and runs ended while a box was
    // up. It is shown only when a run ends, so never in the middle of one.
    LateRun m_next;
    std::size_t m_count = 0;
};

} // namespace plovik
