#include "take.h"

#include "line_reader.h"
#include "log_reader.h"

namespace plovik {

namespace {

// Blank lines WSJT-X never writes: past this many bytes of them the file is
// taken all the same, and the reading of the outbox, which keeps the window
// answering, finds out whether anything follows.
constexpr std::size_t kTakeScanLimit = 1024 * 1024;

} // namespace

bool ReaderPatience::Over(Clock::time_point now)
{
    if (!m_since)
        m_since = now;
    return now - *m_since >= kPatience;
}

TakeResult TakeLogFile(const std::string& logPath, const std::string& target, Files& files,
                       Reports& reports, ReaderPatience& patience)
{
    OpenResult opened = files.OpenForTaking(logPath);
    if (opened.status != OpenStatus::InUse && opened.status != OpenStatus::Held)
        patience.Reset();
    switch (opened.status) {
    case OpenStatus::Opened:
        break;
    case OpenStatus::Absent:
        return {TakeOutcome::NoFile, std::move(opened.reason)};
    case OpenStatus::InUse:
        return {TakeOutcome::InUse, std::move(opened.reason)};
    case OpenStatus::Held:
        // Reported rather than waited for in silence for ever once it holds
        // on past its time; the file stays and is tried again.
        if (!patience.Over())
            return {TakeOutcome::InUse, std::move(opened.reason)};
        return {TakeOutcome::Failed, std::move(opened.reason)};
    case OpenStatus::Failed:
        return {TakeOutcome::Failed, std::move(opened.reason)};
    }
    std::unique_ptr<LogFile> file = std::move(opened.file);
    LineReader reader(*file);
    std::string_view line;
    LineReader::Status status;
    std::size_t scanned = 0;
    do {
        status = reader.ReadLine(line);
        scanned += line.size() + 1;
    } while (status == LineReader::Status::Line && line.empty() && scanned < kTakeScanLimit);
    if (status == LineReader::Status::Failed)
        return {TakeOutcome::Failed, file->ErrorText()};
    if (status == LineReader::Status::End) {
        // Closed before the box, so WSJT-X can go on writing while it is up.
        file.reset();
        reports.Show(EmptyFileText());
        return {TakeOutcome::Empty, std::string()};
    }
    if (FileResult moved = file->HandOverAndClose(target); !moved)
        return {TakeOutcome::Failed, std::move(moved.reason)};
    return {TakeOutcome::Taken, std::string()};
}

Take::Take(Files& files, Reports& reports, Outbox& outbox, FolderPaths paths)
    : m_files(files), m_reports(reports), m_outbox(outbox), m_paths(std::move(paths))
{
}

bool Take::ExistsByOpening(const std::string& path)
{
    // Opened with every kind of sharing, as a mere look: nobody is stopped.
    // The open may wait up to a second for another program's hold.
    return m_files.OpenForReading(path).status != OpenStatus::Absent;
}

void Take::StartUp()
{
    // A New or Open later must not take a waiting contact for old history.
    if (m_bStartedUp)
        return;
    m_bStartedUp = true;
    m_reports.Clear(Reports::Topic::Take);
    // A folder that cannot be read is there: its log is not taken for old.
    if (m_files.ListFolder(m_paths.outbox).status != ListStatus::Absent ||
        !ExistsByOpening(m_paths.log) || ExistsByOpening(m_paths.backup)) {
        MarkFolder();
        return;
    }
    m_bMoveAsidePending = true;
    TryMoveOldLogAside();
}

void Take::StartUpInNewFolder()
{
    if (m_bStartedUp)
        return;
    m_bStartedUp = true;
    MarkFolder();
}

void Take::MarkFolder()
{
    // Made now, not at the first take: a bridge killed before it would
    // otherwise take a contact logged meanwhile for old history at its next
    // start. A failure is not reported here: while WSJT-X's folder is not
    // there it is expected, and the take makes the outbox again and reports
    // once there is a log to take.
    m_outbox.Ensure();
}

MoveStatus Take::TryMoveOldLogAside()
{
    const MoveResult moved = m_files.Move(m_paths.log, m_paths.backup, HolderWait::None);
    switch (moved.status) {
    case MoveStatus::Moved:
    case MoveStatus::Absent:
        m_bMoveAsidePending = false;
        m_reports.Clear(Reports::Topic::Take);
        // Only once the old log is aside: a crash before would leave it
        // looking fresh.
        MarkFolder();
        break;
    case MoveStatus::InUse:
        break;
    case MoveStatus::Failed:
        m_reports.Report(Reports::Topic::Take,
                         MoveAsideFailureText(m_paths.log, m_paths.backup, moved.reason));
        break;
    }
    return moved.status;
}

TakeOutcome Take::Step()
{
    // Before the start-up move, the log is the old one: left alone, and no
    // outbox is made that would mark it as fresh.
    if (m_bMoveAsidePending) {
        if (TryMoveOldLogAside() == MoveStatus::InUse)
            return TakeOutcome::InUse;
        if (m_bMoveAsidePending)
            return TakeOutcome::NotRun;
    }
    if (!m_bLegacyChecked)
        AdoptLegacy();
    return TakeNow();
}

void Take::AdoptLegacy()
{
    m_bLegacyChecked = true;
    OpenResult opened = m_files.OpenForReading(m_paths.legacy);
    if (opened.status == OpenStatus::Absent)
        return;
    opened.file.reset();
    std::string reason = opened.reason;
    if (opened.status == OpenStatus::Opened) {
        if (FileResult ensured = m_outbox.Ensure(); !ensured) {
            reason = std::move(ensured.reason);
        } else {
            const std::string target = m_outbox.NextArrivalPath(OutboxKind::Messages);
            m_outbox.Arrived(); // never given again, whatever the move did
            MoveResult moved = m_files.Move(m_paths.legacy, target, HolderWait::UpToASecond);
            if (moved.status == MoveStatus::Moved)
                return;
            reason = std::move(moved.reason);
        }
    }
    m_reports.Report(Reports::Topic::Take, LegacyFailureText(m_paths.legacy, reason));
}

TakeOutcome Take::TakeNow()
{
    // An outbox that cannot be made matters only when there is a log to
    // take: no box while WSJT-X's folder is not there at all.
    if (const FileResult ensured = m_outbox.Ensure(); !ensured) {
        if (!ExistsByOpening(m_paths.log))
            return TakeOutcome::NoFile;
        m_reports.Report(Reports::Topic::Take,
                         OutboxFailureText(m_outbox.Folder(), ensured.reason));
        return TakeOutcome::Failed;
    }
    TakeResult taken = TakeLogFile(m_paths.log, m_outbox.NextArrivalPath(OutboxKind::LogFile),
                                   m_files, m_reports, m_patience);
    if (taken.outcome == TakeOutcome::Failed) {
        // The outbox may have been removed or filled behind our back: made
        // and listed anew, it is worth one more try before any box.
        m_outbox.ForgetNextArrival();
        if (m_outbox.Ensure())
            taken = TakeLogFile(m_paths.log, m_outbox.NextArrivalPath(OutboxKind::LogFile), m_files,
                                m_reports, m_patience);
    }
    switch (taken.outcome) {
    case TakeOutcome::Taken:
        m_outbox.Arrived();
        m_reports.Clear(Reports::Topic::Take);
        break;
    case TakeOutcome::Failed:
        // The arrival number may be taken by a file made behind our back:
        // list the outbox again before the next try.
        m_outbox.ForgetNextArrival();
        m_reports.Report(Reports::Topic::Take, TakeFailureText(m_paths.log, taken.reason));
        break;
    case TakeOutcome::NoFile:
    case TakeOutcome::Empty:
        m_reports.Clear(Reports::Topic::Take);
        break;
    default:
        break;
    }
    return taken.outcome;
}

} // namespace plovik
