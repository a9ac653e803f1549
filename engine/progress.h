#pragma once
// What the sending has done since the start: what the status line says, and
// what calls the operator.

#include "clock.h"

#include <cstddef>
#include <string>

namespace plovik {

// What the sending has done since the start, for the user to see.
struct Progress {
    std::size_t waiting = 0;   // contacts in every outbox, counted at each tick
    std::size_t delivered = 0; // contacts Logvex took
    std::size_t skipped = 0;   // identical to one Logvex had: not sent again
    std::size_t late = 0;      // taken more than kLateAfterSeconds after they ended
    std::string lastCall;      // of the last contact Logvex took
    std::string lastTimeOn;    // its start time, HHMMSS UTC
    std::string lastLateBy;    // how late it was ("2 h 5 min"); empty when on time
    // A late contact Logvex has in hands now (it may be asking its user
    // about it): its call and its own date and start time, UTC.
    std::string lateInHandsCall;
    std::string lateInHandsAt;
    // How long the oldest contact Logvex could take has waited, at the last
    // count; 0 when none waits.
    UtcSeconds oldestWait = 0;
    // The operator is being called: a contact has waited kCallAfterSeconds
    // and Logvex cannot take it. `calls` counts the calls since the start.
    bool calling = false;
    std::size_t calls = 0;
};

} // namespace plovik
