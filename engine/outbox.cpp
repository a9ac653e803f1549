#include "outbox.h"

#include "outbox_reading.h"

#include <algorithm>

namespace plovik {

namespace {

// How often a folder nothing has changed is listed all the same: another
// program (or the operator) may have added or removed a file.
constexpr UtcSeconds kRelistSeconds = 10;

} // namespace

Outbox::Outbox(Files& files, MessageDrain& window, Reports& reports, std::string folder,
               char separator, std::uint64_t& takes)
    : m_files(files), m_window(window), m_reports(reports), m_folder(std::move(folder)),
      m_separator(separator), m_takes(takes)
{
}

void Outbox::Arrived()
{
    m_takenAt.emplace_back(*m_nextArrival, ++m_takes);
    ++*m_nextArrival;
    ++m_changes;
}

bool Outbox::Stale(std::uint64_t changes, UtcSeconds listedAt) const
{
    const UtcSeconds now = m_files.NowUtc();
    // A clock set back counts as due.
    return changes != m_changes || now < listedAt || now - listedAt >= kRelistSeconds;
}

std::uint64_t Outbox::TakenAt(std::uint64_t arrival) const
{
    for (const auto& [taken, at] : m_takenAt)
        if (taken == arrival)
            return at;
    return 0;
}

Outbox::~Outbox() = default;

std::string Outbox::PathOf(const OutboxEntry& entry) const
{
    return m_folder + m_separator + entry.Name();
}

FileResult Outbox::Ensure()
{
    if (m_nextArrival)
        return {};
    if (FileResult made = m_files.MakeFolder(m_folder); !made)
        return made;
    const FolderListing listing = m_files.ListFolder(m_folder);
    if (listing.status == ListStatus::Failed)
        return FileResult::Failed(listing.reason);
    const std::vector<OutboxEntry> entries = SortedEntries(listing.names);
    m_nextArrival = entries.empty() ? 1 : entries.back().arrival + 1;
    // A number removed this run is never given again, even once unlisted.
    for (std::uint64_t removed : m_removed)
        m_nextArrival = std::max(*m_nextArrival, removed + 1);
    return {};
}

std::string Outbox::NextArrivalPath(OutboxKind kind) const
{
    OutboxEntry entry;
    entry.arrival = *m_nextArrival;
    entry.kind = kind;
    return PathOf(entry);
}

Outbox::Next Outbox::ReadNext(Contact& contact)
{
    if (m_foundIdle && !Stale(m_foundIdle->changes, m_foundIdle->at))
        return Next::Idle;
    m_foundIdle.reset();
    for (;;) {
        const FolderListing listing = m_files.ListFolder(m_folder);
        if (listing.status == ListStatus::Failed) {
            m_reports.Report(Reports::Topic::Outbox, OutboxFailureText(m_folder, listing.reason));
            return Next::Held;
        }
        std::vector<OutboxEntry> entries = SortedEntries(listing.names);
        if (!entries.empty() && m_nextArrival)
            m_nextArrival = std::max(*m_nextArrival, entries.back().arrival + 1);
        ForgetUnlisted(entries);
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const OutboxEntry& e) {
                                         return IsSetAside(e.arrival) || IsRemoved(e.arrival);
                                     }),
                      entries.end());
        if (entries.empty()) {
            m_reading.reset();
            m_foundIdle = Listed{m_changes, m_files.NowUtc()};
            return Next::Idle;
        }
        const OutboxEntry entry = entries.front();
        std::string reason;
        switch (ReadContact(entry, contact, reason)) {
        case Found::Contact:
            return Next::Waiting;
        case Found::Stopped:
            return Next::Stopped;
        case Found::Bad:
            SetAside(entry, BadFileText(PathOf(entry), reason));
            break;
        case Found::AllDone:
            // Delivered before a crash, or a file with no contact at all.
            RemoveDelivered(entry);
            break;
        }
    }
}

Outbox::Found Outbox::ReadContact(const OutboxEntry& entry, Contact& contact, std::string& reason)
{
    // The same file where its reading stands, or opened anew; then the
    // contact at the index.
    if (!m_reading || !m_reading->Reaches(entry)) {
        m_reading.reset();
        OpenResult opened = m_files.OpenForReading(PathOf(entry));
        if (opened.status != OpenStatus::Opened) {
            reason = opened.reason;
            return Found::Bad;
        }
        m_reading = std::make_unique<OutboxReading>(entry, std::move(opened.file), m_window);
    }
    switch (m_reading->ContactAt(entry.delivered)) {
    case OutboxReading::Found::Contact:
        break;
    case OutboxReading::Found::AllDone:
        m_reading.reset();
        return Found::AllDone;
    case OutboxReading::Found::Bad:
        reason = m_reading->Reason();
        m_reading.reset();
        return Found::Bad;
    case OutboxReading::Found::Stopped:
        m_reading.reset();
        return Found::Stopped;
    }
    const OutboxReading::Read& read = m_reading->Contact();
    contact.entry = entry;
    contact.record = read.record;
    contact.tags = read.tags;
    contact.message = read.message;
    contact.last = m_reading->IsLast();
    return Found::Contact;
}

void Outbox::RecordDelivery(const Contact& contact)
{
    ++m_changes;
    const std::string path = PathOf(contact.entry);
    OutboxEntry next = contact.entry;
    ++next.delivered;
    const std::string recorded = PathOf(next);
    if (!contact.last) {
        const MoveResult moved = m_files.Move(path, recorded, HolderWait::UpToASecond);
        if (moved.status != MoveStatus::Moved)
            SetAside(contact.entry, NotRecordedText(path, moved.reason));
        return;
    }
    // The last contact: the file is closed, marked as all delivered, then
    // removed. Where a removal is not made durable at once (Windows), a
    // power cut that undoes it leaves a file that is only removed again.
    m_reading.reset();
    const MoveResult moved = m_files.Move(path, recorded, HolderWait::UpToASecond);
    const bool marked = moved.status == MoveStatus::Moved;
    const FileResult removed = m_files.Remove(marked ? recorded : path);
    if (removed) {
        m_removed.push_back(contact.entry.arrival);
        return;
    }
    if (!marked) {
        // Neither recorded nor removed: sent again only after a restart.
        SetAside(contact.entry, NotRecordedText(path, moved.reason));
        return;
    }
    // Marked, so never sent again; only its removal is tried at the next start.
    SetAside(contact.entry, NotRecordedText(recorded, removed.reason));
}

std::optional<Outbox::Waiting> Outbox::CountWaiting()
{
    if (m_lastCount && !Stale(m_lastCount->first.changes, m_lastCount->first.at))
        return m_lastCount->second;
    m_lastCount.reset();
    const Listed listed{m_changes, m_files.NowUtc()};
    const FolderListing listing = m_files.ListFolder(m_folder);
    if (listing.status == ListStatus::Failed)
        return std::nullopt; // unknown, not none
    Waiting waiting;
    for (const OutboxEntry& entry : SortedEntries(listing.names)) {
        if (IsRemoved(entry.arrival))
            continue;
        auto counted = std::find_if(m_counted.begin(), m_counted.end(),
                                    [&](const auto& c) { return c.arrival == entry.arrival; });
        if (counted == m_counted.end()) {
            std::size_t contacts = 0;
            OpenResult opened = m_files.OpenForReading(PathOf(entry));
            if (opened.status == OpenStatus::Opened) {
                OutboxReading reading(entry, std::move(opened.file), m_window);
                const std::optional<std::size_t> count = reading.Count();
                if (!count)
                    return std::nullopt;
                contacts = *count;
            }
            counted =
                m_counted.insert(m_counted.end(), {entry.arrival, contacts, m_files.NowUtc()});
        }
        if (counted->contacts <= entry.delivered)
            continue;
        waiting.contacts += counted->contacts - entry.delivered;
        // A file set aside waits for the next start, not for Logvex.
        if (!IsSetAside(entry.arrival) && (!waiting.since || counted->seenAt < *waiting.since))
            waiting.since = counted->seenAt;
    }
    m_lastCount.emplace(listed, waiting);
    return waiting;
}

void Outbox::RemoveDelivered(const OutboxEntry& entry)
{
    ++m_changes;
    m_reading.reset();
    if (const FileResult removed = m_files.Remove(PathOf(entry)))
        m_removed.push_back(entry.arrival);
    else
        SetAside(entry, BadFileText(PathOf(entry), removed.reason));
}

void Outbox::SetAside(const OutboxEntry& entry, const std::string& text)
{
    // One box per file: once set aside it is not looked at again this run.
    if (IsSetAside(entry.arrival))
        return;
    m_setAside.push_back(entry.arrival);
    ++m_changes;
    if (m_reading && m_reading->Arrival() == entry.arrival)
        m_reading.reset();
    m_reports.Show(text);
}

bool Outbox::IsSetAside(std::uint64_t arrival) const
{
    return std::find(m_setAside.begin(), m_setAside.end(), arrival) != m_setAside.end();
}

bool Outbox::IsRemoved(std::uint64_t arrival) const
{
    return std::find(m_removed.begin(), m_removed.end(), arrival) != m_removed.end();
}

void Outbox::ForgetUnlisted(const std::vector<OutboxEntry>& listed)
{
    // Once a file is no longer listed, nothing known of it need be kept:
    // its removal, when it was taken, and its count.
    const auto unlisted = [&](std::uint64_t arrival) {
        return std::none_of(listed.begin(), listed.end(),
                            [&](const OutboxEntry& e) { return e.arrival == arrival; });
    };
    m_removed.erase(std::remove_if(m_removed.begin(), m_removed.end(), unlisted), m_removed.end());
    m_takenAt.erase(std::remove_if(m_takenAt.begin(), m_takenAt.end(),
                                   [&](const auto& taken) { return unlisted(taken.first); }),
                    m_takenAt.end());
    m_counted.erase(std::remove_if(m_counted.begin(), m_counted.end(),
                                   [&](const auto& counted) { return unlisted(counted.arrival); }),
                    m_counted.end());
}

} // namespace plovik
