#pragma once
// The outbox: a folder beside WSJT-X's log that holds every contact taken
// from the log and not yet handled by Logvex, so that a crash, a kill or a
// power cut loses none of them.
//
// A file there is named "<arrival>.adi" (a log file as WSJT-X wrote it) or
// "<arrival>.txt" (ready messages, one a line, as an earlier version kept
// them), with "+<n>" before the dot once its first n contacts are delivered.
// Arrival numbers are sixteen digits, so names sort by arrival.

#include "outbox_names.h"
#include "platform.h"

#include <string>

namespace plovik {

enum class TakeOutcome {
    NotRun,
    NoFile, // no log file (or it vanished before the open)
    InUse,  // WSJT-X holds it for writing: try again soon
    Empty,  // no line with content: the box was shown, the file stays
    Failed, // could not be opened, read or moved (reason); the file stays
    Taken,  // moved into the outbox
};

struct TakeResult {
    TakeOutcome outcome = TakeOutcome::NotRun;
    std::string reason;
};

// Moves the log file to `target` unless it holds no line with content. Only
// the lines before the first with content are read, and nothing is
// dispatched meanwhile: WSJT-X cannot log while the file is held, and does
// not try again, so it is held for microseconds, never across a drain.
TakeResult TakeLogFile(const std::string& logPath, const std::string& target, Platform& platform);

} // namespace plovik
