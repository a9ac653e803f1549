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
    std::size_t late = 0;      // contacts Logvex took late, since the start
    std::string lastLateBy;    // how late the last one was ("2 h 5 min"); empty: on time
    std::string inHandsCall;   // a late contact Logvex has in hands now
    std::string inHandsAt;     // its own date and start time ("2026-12-08 06:20")
    long long oldestWait = 0;  // seconds the oldest waiting contact has waited
};

// Short lines, each fitting the form's right-hand part on one line:
// "Logvex: running", "Waiting: 3" ("Waiting: 3, the oldest 4 min" once the
// oldest has waited a minute; past an hour "2 h", past a day "3 d"),
// "Sent: 12  Skipped: 1  Late: 3" (Late once there has been one), "Last:
// K1ABC 06:20 UTC" and below it how late, "2 h 5 min late"; while Logvex
// has a late contact in hands, in place of the last one, "In Logvex: K1ABC"
// and "of 2026-12-08 06:20 UTC", so the user can give it its own time there.
std::string StatusText(const StatusFacts& facts);

} // namespace plovik
