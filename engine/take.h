#pragma once
// The take: WSJT-X's log moved into the outbox in one step, the start-up
// rule that sets an old log aside, and the adoption of the file in which an
// earlier version kept undelivered contacts.

#include "files.h"
#include "outbox.h"
#include "outbox_names.h"
#include "reports.h"
#include "window_side.h"

#include <chrono>
#include <optional>
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

// A reader that keeps the log from being moved is mostly one that lets go
// within milliseconds (a scanner, an indexer): it is waited for in silence
// like a writer. Only one that holds on for a second is reported.
class ReaderPatience {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kPatience{1000};

    // Counts one more refusal; true once they have gone on for the patience.
    bool Over(Clock::time_point now = Clock::now());
    void Reset() { m_since.reset(); }

private:
    std::optional<Clock::time_point> m_since;
};

// Moves the log file to `target` unless it holds no line with content. Only
// the lines before the first with content are read, and nothing is
// dispatched meanwhile: WSJT-X cannot log while the file is held, and does
// not try again, so it is held for microseconds, never across a drain.
TakeResult TakeLogFile(const std::string& logPath, const std::string& target, Files& files,
                       Reports& reports, ReaderPatience& patience);

class Take {
public:
    Take(Files& files, Reports& reports, Outbox& outbox, FolderPaths paths);

    // At start-up, once per process (a later call does nothing). At the
    // bridge's first start in a folder, a log there holds old history and is
    // moved aside to the backup unless one exists. The outbox folder, made
    // then, marks that the bridge has run there: at every later start a log
    // found was written while it was not running, and is sent. WSJT-X reads
    // its log at its own start without letting it be moved: then the move
    // is tried again at every tick, in silence. Until it is done, or the log
    // is gone, no tick takes the log; another failure is reported once and
    // the log left alone till the user acts.
    void StartUp();
    // For a folder that appeared while the bridge runs: WSJT-X made it for
    // a new instance, so a log in it is new, never old history.
    void StartUpInNewFolder();
    bool StartUpPending() const { return m_bMoveAsidePending; }

    // The tick's part: a waiting start-up move, the earlier version's file
    // (once), then the log.
    TakeOutcome Step();

private:
    bool ExistsByOpening(const std::string& path);
    MoveStatus TryMoveOldLogAside();
    void MarkFolder();
    void AdoptLegacy();
    TakeOutcome TakeNow();

    Files& m_files;
    Reports& m_reports;
    Outbox& m_outbox;
    const FolderPaths m_paths;
    bool m_bStartedUp = false;
    bool m_bMoveAsidePending = false;
    bool m_bLegacyChecked = false;
    ReaderPatience m_patience;
};

} // namespace plovik
