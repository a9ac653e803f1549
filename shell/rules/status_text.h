#pragma once
// The status line's text: what the bridge has done, in words, so that the
// state does not rest on the colour of a light alone (colour-blind users,
// screen readers). Portable, so it is tested natively.

#include <cstddef>
#include <string>

namespace plovik {

struct StatusFacts {
    bool logvexRunning = false;
    std::size_t waiting = 0;   // contacts in every outbox
    std::size_t delivered = 0; // since the start
    std::size_t skipped = 0;   // Logvex had them already
    std::string lastCall;      // of the last contact Logvex took
    std::string lastTimeOn;    // its start time, HHMMSS UTC
};

// Up to four short lines (about 22 characters each), to fit the form's
// right-hand part: "Logvex: running", "Waiting: 3", "Sent: 12  Skipped: 1",
// "Last: K1ABC 06:20 UTC".
std::string StatusText(const StatusFacts& facts);

} // namespace plovik
