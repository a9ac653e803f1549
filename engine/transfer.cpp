#include "transfer.h"

#include "transfer_folder.h"

#include "instance_folders.h"
#include "lateness.h"
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

// Of two folders' take outcomes, the one that wants the next try soonest:
// a file in use is tried again within a moment.
TakeOutcome MostPressing(TakeOutcome a, TakeOutcome b)
{
    constexpr TakeOutcome kByUrgency[] = {TakeOutcome::InUse, TakeOutcome::Failed,
                                          TakeOutcome::Taken, TakeOutcome::Empty,
                                          TakeOutcome::NoFile};
    for (TakeOutcome outcome : kByUrgency)
        if (a == outcome || b == outcome)
            return outcome;
    return TakeOutcome::NotRun;
}

} // namespace

Transfer::Transfer(Files& files, WindowSide& window, QsoRecord& record, std::uint8_t& noFreq)
    : m_files(files), m_window(window), m_record(record), m_noFreq(noFreq), m_reports(window)
{
}

Transfer::Transfer(Files& files, WindowSide& window, QsoRecord& record, std::uint8_t& noFreq,
                   const FolderPaths& paths)
    : Transfer(files, window, record, noFreq)
{
    Watch(paths);
}

Transfer::~Transfer() = default;

void Transfer::Watch(const FolderPaths& paths)
{
    for (const auto& folder : m_folders)
        if (folder->paths.log == paths.log)
            return;
    m_folders.push_back(std::make_unique<Folder>(m_files, m_window, paths, m_takes));
    if (m_bStartedUp)
        m_folders.back()->take.StartUpInNewFolder();
}

const std::string& Transfer::FolderName(std::size_t index) const
{
    return m_folders[index]->paths.folder;
}

std::vector<std::string> Transfer::Folders() const
{
    std::vector<std::string> names;
    for (const auto& folder : m_folders)
        names.push_back(folder->paths.folder);
    return names;
}

void Transfer::WatchInstancesIn(const std::string& root, char separator)
{
    m_roots.emplace_back(root, separator);
    m_bLookAgain = !LookForInstances();
}

bool Transfer::LookForInstances()
{
    bool read = true;
    for (const auto& [root, separator] : m_roots) {
        FolderListing listing = m_files.ListFoldersNamed(root, kInstanceFolderPrefixes);
        read = read && listing.status != ListStatus::Failed;
        std::sort(listing.folders.begin(), listing.folders.end());
        for (const std::string& name : listing.folders)
            if (IsInstanceFolderName(name))
                Watch(InstanceFolderPaths(root + separator + name, separator));
    }
    return read;
}

void Transfer::StartUp()
{
    if (m_bStartedUp)
        return;
    m_bStartedUp = true;
    for (const auto& folder : m_folders)
        folder->take.StartUp();
}

bool Transfer::StartUpPending() const
{
    return std::any_of(m_folders.begin(), m_folders.end(),
                       [](const auto& folder) { return folder->take.StartUpPending(); });
}

TickOutcome Transfer::RunTick(const std::function<WindowRef()>& probe)
{
    TickOutcome outcome;
    if (m_bRunning) {
        outcome.status = TickStatus::Skipped;
        return outcome;
    }
    ScopedFlag running(m_bRunning);
    m_bStopped = false;

    if (!m_window.DrainMessages()) {
        outcome.status = TickStatus::Stopped;
        return outcome;
    }
    const WindowRef logvex = probe();
    // A root that cannot be read now is looked in again at the next tick.
    if (m_bLookAgain || !m_instancesDue || m_instancesDue())
        m_bLookAgain = !LookForInstances();
    // WSJT-X's files go first: they must never wait behind a slow Logvex.
    for (const auto& folder : m_folders)
        outcome.take = MostPressing(outcome.take, folder->take.Step());
    if (logvex == 0)
        outcome.send = SendOutcome::NoReceiver;
    else if (m_inFlight) {
        NoteInHands();
        outcome.send = SendOutcome::InFlight;
    } else
        outcome.send = SendStep(logvex);
    outcome.send = FinishWork(NoteSend(outcome.send));
    if (m_bStopped)
        outcome.status = TickStatus::Stopped;
    return outcome;
}

SendOutcome Transfer::SendFinished(SendStatus status)
{
    if (!m_inFlight)
        return SendOutcome::NotRun;
    InFlightSend done = std::move(*m_inFlight);
    m_inFlight.reset();
    m_progress.lateInHandsCall.clear();
    m_progress.lateInHandsAt.clear();
    // The thread gives every send an end: a result still "in flight" is none.
    if (status == SendStatus::InFlight)
        status = SendStatus::NotDelivered;
    if (const std::optional<SendOutcome> stop =
            Settle(status, *done.folder, done.contact, done.receiver))
        return NoteSend(*stop);
    // Work under way (this came from one of its drains) sends the rest
    // when it ends.
    if (m_bRunning) {
        m_sendOnTo = done.receiver;
        return SendOutcome::Sent;
    }
    ScopedFlag running(m_bRunning);
    m_bStopped = false;
    return FinishWork(NoteSend(SendStep(done.receiver)));
}

SendOutcome Transfer::FinishWork(SendOutcome outcome)
{
    for (;;) {
        if (!m_bStopped)
            CountWaiting();
        if (!m_sendOnTo || m_inFlight || m_bStopped) {
            // Nothing more goes now: the late contacts so far make one box.
            if (!m_inFlight && !m_bStopped)
                m_late.SendingPaused();
            return outcome;
        }
        const WindowRef receiver = *m_sendOnTo;
        m_sendOnTo.reset();
        outcome = NoteSend(SendStep(receiver));
    }
}

SendOutcome Transfer::SendStep(WindowRef receiver)
{
    bool sentAny = false;
    for (;;) {
        // The oldest contact of each folder; of those, the one taken first,
        // so no folder holds up another.
        Folder* chosen = nullptr;
        Outbox::Contact contact;
        bool held = false;
        for (const auto& folder : m_folders) {
            Outbox::Contact next;
            switch (folder->outbox.ReadNext(next)) {
            case Outbox::Next::Waiting:
                if (!chosen || folder->outbox.TakenAt(next.entry.arrival) <
                                   chosen->outbox.TakenAt(contact.entry.arrival)) {
                    chosen = folder.get();
                    contact = std::move(next);
                }
                break;
            case Outbox::Next::Idle:
                break;
            case Outbox::Next::Held:
                held = true;
                break;
            case Outbox::Next::Stopped:
                m_bStopped = true;
                return SendOutcome::Held;
            }
        }
        if (!chosen)
            return held ? SendOutcome::Held : sentAny ? SendOutcome::Sent : SendOutcome::Idle;
        // Logvex has it already (a restored or copied-back log): it leaves
        // the outbox as if delivered.
        if (!contact.IsKeptMessage() && chosen->sent.Has(contact.record)) {
            ++m_progress.skipped;
            chosen->outbox.RecordDelivery(contact);
            continue;
        }

        // The message is built just before it goes, with the check box as
        // it is then.
        std::string message = contact.message;
        if (!contact.IsKeptMessage()) {
            m_record = contact.record;
            message = BuildLoggerMessage(m_record, m_noFreq, m_window);
        }
        const SendStatus status = SendLoggerMessage(receiver, message, m_window);
        if (const std::optional<SendOutcome> stop = Settle(status, *chosen, contact, receiver))
            return *stop;
        sentAny = true;
        // Between two sends the window answers, and a close stops the
        // sending; what is left waits in the outbox.
        if (!m_window.DrainMessages()) {
            m_bStopped = true;
            return SendOutcome::Held;
        }
    }
}

std::optional<SendOutcome> Transfer::Settle(SendStatus status, Folder& folder,
                                            Outbox::Contact& contact, WindowRef receiver)
{
    switch (status) {
    case SendStatus::Delivered:
        // Whatever kept the sending back is over: its next box is news.
        m_reports.Clear(Reports::Topic::Refusal);
        folder.reports.Clear(Reports::Topic::Outbox);
        Delivered(folder, contact);
        return std::nullopt;
    case SendStatus::InFlight:
        m_inFlight = InFlightSend{&folder, std::move(contact), receiver};
        NoteInHands();
        return SendOutcome::InFlight;
    case SendStatus::Refused:
        m_reports.Report(Reports::Topic::Refusal, RefusedText());
        return SendOutcome::Refused;
    case SendStatus::ReceiverGone:
    case SendStatus::NotDelivered:
        break;
    }
    return SendOutcome::Held;
}

void Transfer::Delivered(Folder& folder, const Outbox::Contact& contact)
{
    // In the record before the outbox lets it go: a crash in between sends
    // it to Logvex once more at most, and not even that once it is recorded.
    // The clock as the result came back: when Logvex took it.
    const UtcSeconds taken = m_files.NowUtc();
    if (!contact.IsKeptMessage())
        folder.sent.Add(contact.record, contact.tags, taken);
    folder.outbox.RecordDelivery(contact);
    // The stretch of waiting ends; what still waits is counted afresh.
    m_call.Took();
    m_oldestWait.reset();
    ++m_progress.delivered;
    m_progress.lastCall = contact.IsKeptMessage()
                              ? contact.message.substr(0, contact.message.find('#'))
                              : contact.record.m_strCall;
    m_progress.lastTimeOn = contact.IsKeptMessage() ? std::string() : contact.record.m_strTimeOn;
    // A message kept by an earlier version has no time of its own.
    const UtcSeconds lateBy =
        contact.IsKeptMessage() ? 0 : m_late.Taken(contact.record, taken, folder.sent.Path());
    m_progress.late = m_late.Count();
    m_progress.lastLateBy = lateBy > 0 ? DurationText(lateBy) : std::string();
}

} // namespace plovik
