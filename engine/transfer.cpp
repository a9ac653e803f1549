#include "transfer.h"

#include "line_reader.h"
#include "log_reader.h"
#include "logger_message.h"

#include <algorithm>

namespace plovik {

namespace {

// Sets a flag for the lifetime of the scope.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~ScopedFlag() { m_flag = false; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& m_flag;
};

std::string TakeFailureText(const std::string& path, const std::string& reason)
{
    return "Cannot read the WSJT-X log file\n" + path + "\n\n" + reason +
           "\n\nIt stays where it is and is tried again.";
}

std::string OutboxFailureText(const std::string& path, const std::string& reason)
{
    return "Cannot use the folder where contacts wait for Logvex\n" + path + "\n\n" + reason;
}

std::string LegacyFailureText(const std::string& path, const std::string& reason)
{
    return "Cannot take over the contacts kept for Logvex by an earlier version\n" + path + "\n\n" +
           reason + "\n\nThe file is left as it is.";
}

std::string BadFileText(const std::string& path, const std::string& reason)
{
    return "A file of contacts waiting for Logvex cannot be used\n" + path + "\n\n" + reason +
           "\n\nIts contacts are not sent now; the others go on. It is tried again when "
           "the bridge starts next.";
}

std::string NotRecordedText(const std::string& path, const std::string& reason)
{
    return "Logvex got a contact, but this could not be recorded\n" + path + "\n\n" + reason +
           "\n\nThe file is left alone until the bridge starts next, so the contact is "
           "not sent twice now.";
}

std::string MoveAsideFailureText(const std::string& log, const std::string& backup,
                                 const std::string& reason)
{
    return "Cannot rename " + log + " to " + backup + "\n\n" + reason +
           "\n\nThe log holds contacts from before the bridge started, so it is not sent. "
           "New contacts are sent once it has been moved or removed.";
}

constexpr const char* kRefusedText =
    "Logvex runs with higher rights than the bridge (as administrator), so Windows does not "
    "let the bridge hand it contacts.\n\nThe contacts wait, and none is lost. Run Logvex and "
    "the bridge at the same level: both as administrator, or neither.";

// Reads ready messages, one a line, handing each non-empty line over.
ReadOutcome ReadMessages(LogFile& file, std::string& reason,
                         const std::function<void(std::string_view)>& onMessage)
{
    LineReader reader(file);
    std::string_view line;
    for (;;) {
        switch (reader.ReadLine(line)) {
        case LineReader::Status::Line:
            if (!line.empty())
                onMessage(line);
            break;
        case LineReader::Status::End:
            return ReadOutcome::Read;
        case LineReader::Status::Failed:
            reason = file.ErrorText();
            return ReadOutcome::Failed;
        }
    }
}

} // namespace

struct Transfer::ContactAt {
    enum class Status { Ready, AllDone, Bad, Stopped } status = Status::Bad;
    std::string message;
    std::size_t total = 0; // contacts in the file
    std::string reason;
};

Transfer::Paths Transfer::PathsFor(const std::string& logPath)
{
    const PathParts logParts = SplitPath(logPath);
    Paths paths;
    paths.log = logPath;
    paths.outbox = logParts.Join(kOutboxFolderName);
    paths.legacy = logParts.Join(kLegacyKeptName);
    paths.outboxParts = PathParts{paths.outbox, logParts.separator};
    return paths;
}

bool Transfer::Exists(const std::string& path)
{
    // Opened with every kind of sharing, as a mere look: nobody is stopped.
    return m_platform.OpenOutboxFile(path).status != OpenStatus::Absent;
}

void Transfer::StartUp(const std::string& logPath, const std::string& bakPath)
{
    // A New or Open later must not take a waiting contact for old history.
    if (m_bStartedUp)
        return;
    m_bStartedUp = true;
    m_lastTakeReport.clear();
    const Paths paths = PathsFor(logPath);
    // A folder that cannot be read is there: its log is not taken for old.
    const FolderListing outbox = m_platform.ListFolder(paths.outbox);
    if (!outbox.ok || outbox.exists || !Exists(logPath) || Exists(bakPath)) {
        MarkFolder(paths);
        return;
    }
    m_startUpBackup = bakPath;
    TryMoveOldLogAside(paths);
}

void Transfer::MarkFolder(const Paths& paths)
{
    // Made now, not at the first take: a bridge killed before it would
    // otherwise take a contact logged meanwhile for old history at its next
    // start. A failure is not reported here: while WSJT-X's folder is not
    // there it is expected, and the take makes the outbox again and reports
    // once there is a log to take.
    std::string reason;
    EnsureOutbox(paths, reason);
}

MoveStatus Transfer::TryMoveOldLogAside(const Paths& paths)
{
    std::string reason;
    const MoveStatus status = m_platform.MoveLogAside(paths.log, *m_startUpBackup, reason);
    switch (status) {
    case MoveStatus::Moved:
    case MoveStatus::Absent:
        m_startUpBackup.reset();
        m_lastTakeReport.clear();
        // Only once the old log is aside: a crash before would leave it
        // looking fresh.
        MarkFolder(paths);
        break;
    case MoveStatus::InUse:
        break;
    case MoveStatus::Failed:
        Report(m_lastTakeReport, MoveAsideFailureText(paths.log, *m_startUpBackup, reason));
        break;
    }
    return status;
}

TickOutcome Transfer::RunTick(QsoRecord& record, const std::string& logPath, std::uint8_t& noFreq,
                              const std::function<WindowRef()>& probe)
{
    TickOutcome outcome;
    if (m_bRunning) {
        outcome.status = TickStatus::Skipped;
        return outcome;
    }
    ScopedFlag running(m_bRunning);
    m_bStopped = false;

    if (!m_platform.DrainMessages()) {
        outcome.status = TickStatus::Stopped;
        return outcome;
    }
    const WindowRef logvex = probe();
    const Paths paths = PathsFor(logPath);
    // WSJT-X's file goes first: it must never wait behind a slow Logvex.
    // Before the start-up move, the log is the old one: left alone, and no
    // outbox is made that would mark it as fresh.
    if (m_startUpBackup && TryMoveOldLogAside(paths) == MoveStatus::InUse)
        outcome.take = TakeOutcome::InUse;
    if (!m_startUpBackup && !m_bLegacyChecked)
        AdoptLegacy(paths);
    if (!m_startUpBackup && outcome.take == TakeOutcome::NotRun)
        outcome.take = TakeStep(paths);
    if (logvex == 0)
        outcome.send = SendOutcome::NoReceiver;
    else if (m_inFlight)
        outcome.send = SendOutcome::InFlight;
    else
        outcome.send = SendStep(paths, logvex, record, noFreq);
    if (m_bStopped)
        outcome.status = TickStatus::Stopped;
    return outcome;
}

SendOutcome Transfer::SendFinished(SendStatus status, QsoRecord& record, std::uint8_t& noFreq)
{
    if (!m_inFlight)
        return SendOutcome::NotRun;
    const InFlightSend done = std::move(*m_inFlight);
    m_inFlight.reset();
    switch (status) {
    case SendStatus::Delivered:
        RecordDelivery(done.paths, done.entry, done.total);
        break;
    case SendStatus::Refused:
        Report(m_lastSendReport, kRefusedText);
        return SendOutcome::Refused;
    default:
        return SendOutcome::Held;
    }
    // A tick under way (this came from one of its drains) sends the rest.
    if (m_bRunning)
        return SendOutcome::Sent;
    ScopedFlag running(m_bRunning);
    m_bStopped = false;
    return SendStep(done.paths, done.receiver, record, noFreq);
}

bool Transfer::EnsureOutbox(const Paths& paths, std::string& reason)
{
    if (m_nextArrival)
        return true;
    if (!m_platform.MakeFolder(paths.outbox, reason))
        return false;
    const FolderListing listing = m_platform.ListFolder(paths.outbox);
    if (!listing.ok) {
        reason = listing.reason;
        return false;
    }
    const std::vector<OutboxEntry> entries = SortedEntries(listing.names);
    m_nextArrival = entries.empty() ? 1 : entries.back().arrival + 1;
    // A number removed this run is never given again, even once unlisted.
    for (std::uint64_t removed : m_removed)
        m_nextArrival = std::max(*m_nextArrival, removed + 1);
    return true;
}

void Transfer::AdoptLegacy(const Paths& paths)
{
    m_bLegacyChecked = true;
    OpenResult opened = m_platform.OpenOutboxFile(paths.legacy);
    if (opened.status == OpenStatus::Absent)
        return;
    opened.file.reset();
    std::string reason = opened.reason;
    if (opened.status == OpenStatus::Opened && EnsureOutbox(paths, reason)) {
        OutboxEntry entry;
        entry.arrival = (*m_nextArrival)++;
        entry.kind = OutboxKind::Messages;
        if (m_platform.RenameFile(paths.legacy, paths.outboxParts.Join(entry.Name()), reason))
            return;
    }
    Report(m_lastTakeReport, LegacyFailureText(paths.legacy, reason));
}

TakeOutcome Transfer::TakeStep(const Paths& paths)
{
    std::string reason;
    // An outbox that cannot be made matters only when there is a log to
    // take: no box while WSJT-X's folder is not there at all.
    OutboxEntry entry;
    const bool outboxReady = EnsureOutbox(paths, reason);
    if (!outboxReady) {
        if (!Exists(paths.log))
            return TakeOutcome::NoFile;
        Report(m_lastTakeReport, OutboxFailureText(paths.outbox, reason));
        return TakeOutcome::Failed;
    }
    entry.arrival = *m_nextArrival;
    TakeResult taken = TakeLogFile(paths.log, paths.outboxParts.Join(entry.Name()), m_platform);
    if (taken.outcome == TakeOutcome::Failed) {
        // The outbox may have been removed or filled behind our back: made
        // and listed anew, it is worth one more try before any box.
        m_nextArrival.reset();
        if (EnsureOutbox(paths, reason)) {
            entry.arrival = *m_nextArrival;
            taken = TakeLogFile(paths.log, paths.outboxParts.Join(entry.Name()), m_platform);
        }
    }
    switch (taken.outcome) {
    case TakeOutcome::Taken:
        ++*m_nextArrival;
        m_lastTakeReport.clear();
        break;
    case TakeOutcome::Failed:
        // The arrival number may be taken by a file made behind our back:
        // list the outbox again before the next try.
        m_nextArrival.reset();
        Report(m_lastTakeReport, TakeFailureText(paths.log, taken.reason));
        break;
    case TakeOutcome::NoFile:
    case TakeOutcome::Empty:
        m_lastTakeReport.clear();
        break;
    default:
        break;
    }
    return taken.outcome;
}

Transfer::ContactAt Transfer::ReadContactAt(const std::string& path, const OutboxEntry& entry,
                                            QsoRecord& record, std::uint8_t& noFreq)
{
    ContactAt contact;
    OpenResult opened = m_platform.OpenOutboxFile(path);
    if (opened.status != OpenStatus::Opened) {
        contact.reason = opened.reason;
        return contact;
    }
    // The file is read from its start for each contact: a file holds one
    // contact but in rare cases, and the message is built just before it
    // goes, with the check box as it is then.
    std::size_t index = 0;
    ReadOutcome read = ReadOutcome::Read;
    if (entry.kind == OutboxKind::LogFile) {
        const ReadResult result =
            ReadContacts(record, *opened.file, m_platform, [&](QsoRecord& each) {
                if (index++ == entry.delivered)
                    contact.message = BuildLoggerMessage(each, noFreq, m_platform);
            });
        read = result.outcome;
        contact.reason = result.reason;
    } else {
        read = ReadMessages(*opened.file, contact.reason, [&](std::string_view message) {
            if (index++ == entry.delivered)
                contact.message = std::string(message);
        });
    }
    switch (read) {
    case ReadOutcome::Read:
    case ReadOutcome::Empty:
        contact.total = index;
        contact.status =
            entry.delivered < index ? ContactAt::Status::Ready : ContactAt::Status::AllDone;
        break;
    case ReadOutcome::Interrupted:
        contact.status = ContactAt::Status::Stopped;
        break;
    default:
        contact.status = ContactAt::Status::Bad;
    }
    return contact;
}

SendOutcome Transfer::SendStep(const Paths& paths, WindowRef receiver, QsoRecord& record,
                               std::uint8_t& noFreq)
{
    bool sentAny = false;
    for (;;) {
        const FolderListing listing = m_platform.ListFolder(paths.outbox);
        if (!listing.ok) {
            Report(m_lastSendReport, OutboxFailureText(paths.outbox, listing.reason));
            return SendOutcome::Held;
        }
        std::vector<OutboxEntry> entries = SortedEntries(listing.names);
        if (!entries.empty() && m_nextArrival)
            m_nextArrival = std::max(*m_nextArrival, entries.back().arrival + 1);
        ForgetRemovedNotListed(entries);
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const OutboxEntry& e) {
                                         return IsSetAside(e.arrival) || IsRemoved(e.arrival);
                                     }),
                      entries.end());
        if (entries.empty())
            return sentAny ? SendOutcome::Sent : SendOutcome::Idle;

        const OutboxEntry entry = entries.front();
        const std::string path = paths.outboxParts.Join(entry.Name());
        const ContactAt contact = ReadContactAt(path, entry, record, noFreq);
        switch (contact.status) {
        case ContactAt::Status::Stopped:
            m_bStopped = true;
            return SendOutcome::Held;
        case ContactAt::Status::Bad:
            SetAside(entry, BadFileText(path, contact.reason));
            continue;
        case ContactAt::Status::AllDone: {
            // Delivered before a crash, or a file with no contact at all.
            std::string reason;
            if (m_platform.RemoveFile(path, reason))
                m_removed.push_back(entry.arrival);
            else
                SetAside(entry, BadFileText(path, reason));
            continue;
        }
        case ContactAt::Status::Ready:
            break;
        }

        const SendStatus status = SendLoggerMessage(receiver, contact.message, m_platform);
        switch (status) {
        case SendStatus::Delivered:
            m_lastSendReport.clear();
            RecordDelivery(paths, entry, contact.total);
            sentAny = true;
            break;
        case SendStatus::InFlight:
            m_inFlight = InFlightSend{paths, entry, contact.total, receiver};
            return SendOutcome::InFlight;
        case SendStatus::Refused:
            Report(m_lastSendReport, kRefusedText);
            return SendOutcome::Refused;
        case SendStatus::ReceiverGone:
        case SendStatus::NotDelivered:
            return SendOutcome::Held;
        }
        // Between two sends the window answers, and a close stops the
        // sending; what is left waits in the outbox.
        if (!m_platform.DrainMessages()) {
            m_bStopped = true;
            return SendOutcome::Held;
        }
    }
}

void Transfer::RecordDelivery(const Paths& paths, const OutboxEntry& entry, std::size_t total)
{
    const std::string path = paths.outboxParts.Join(entry.Name());
    OutboxEntry next = entry;
    next.delivered = entry.delivered + 1;
    const std::string recorded = paths.outboxParts.Join(next.Name());
    std::string reason;
    if (next.delivered < total) {
        if (!m_platform.RenameFile(path, recorded, reason))
            SetAside(entry, NotRecordedText(path, reason));
        return;
    }
    // The last contact: first marked as all delivered, then removed. Where
    // a removal is not made durable at once (Windows), a power cut that
    // undoes it leaves a file that is only removed again, never sent.
    const bool marked = m_platform.RenameFile(path, recorded, reason);
    const std::string& current = marked ? recorded : path;
    std::string removeReason;
    if (m_platform.RemoveFile(current, removeReason)) {
        m_removed.push_back(entry.arrival);
        return;
    }
    if (!marked) {
        // Neither recorded nor removed: sent again only after a restart.
        SetAside(entry, NotRecordedText(path, reason));
        return;
    }
    // Marked, so never sent again; only its removal is tried at the next start.
    SetAside(entry, NotRecordedText(recorded, removeReason));
}

void Transfer::SetAside(const OutboxEntry& entry, const std::string& text)
{
    // One box per file: once set aside it is not looked at again this run.
    if (IsSetAside(entry.arrival))
        return;
    m_setAside.push_back(entry.arrival);
    m_platform.ShowMessageBox(text);
}

bool Transfer::IsRemoved(std::uint64_t arrival) const
{
    return std::find(m_removed.begin(), m_removed.end(), arrival) != m_removed.end();
}

void Transfer::ForgetRemovedNotListed(const std::vector<OutboxEntry>& listed)
{
    // Once a removed file is no longer listed, its number need not be kept.
    m_removed.erase(std::remove_if(m_removed.begin(), m_removed.end(),
                                   [&](std::uint64_t arrival) {
                                       return std::none_of(listed.begin(), listed.end(),
                                                           [&](const OutboxEntry& e) {
                                                               return e.arrival == arrival;
                                                           });
                                   }),
                    m_removed.end());
}

bool Transfer::IsSetAside(std::uint64_t arrival) const
{
    return std::find(m_setAside.begin(), m_setAside.end(), arrival) != m_setAside.end();
}

void Transfer::Report(std::string& last, const std::string& text)
{
    // The same failure every second must not stack up boxes.
    if (text == last)
        return;
    last = text;
    m_platform.ShowMessageBox(text);
}

} // namespace plovik
