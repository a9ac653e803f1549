#pragma once
// The status line's text: what the bridge has done, in words, so that the
// state does not rest on the colour of a light alone (colour-blind users,
// screen readers). Portable, so it is tested natively.

#include "progress.h"

#include <string>

namespace plovik {

// Short lines, each fitting the form's right-hand part on one line:
// "Logvex: running", "Waiting: 3" ("Waiting: 3, the oldest 4 min" once the
// oldest has waited a minute; past an hour "2 h", past a day "3 d"),
// "Sent: 12  Skipped: 1  Late: 3" (Late once there has been one), "Last:
// K1ABC 06:20 UTC" and below it how late, "2 h 5 min late"; while Logvex
// has a late contact in hands, in place of the last one, "In Logvex: K1ABC"
// and "of 2026-12-08 06:20 UTC", so the user can give it its own time there.
std::string StatusText(const Progress& progress, bool logvexRunning);

} // namespace plovik
