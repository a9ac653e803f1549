#pragma once
// One folder's outbox: the files of contacts taken from WSJT-X's log and
// not yet handled by Logvex, oldest first. It knows the next arrival number,
// the files set aside for this run, and where its reading stands, so the
// contacts of a file are read once each however many it holds.

#include "files.h"
#include "outbox_names.h"
#include "outbox_reading.h"
#include "qso_record.h"
#include "reports.h"
#include "window_side.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace plovik {

class Outbox {
public:
    // `takes` counts the takes of every outbox of the bridge, so that their
    // contacts can go in the order they were taken.
    Outbox(Files& files, MessageDrain& window, Reports& reports, std::string folder, char separator,
           std::uint64_t& takes);
    ~Outbox();
    Outbox(const Outbox&) = delete;
    Outbox& operator=(const Outbox&) = delete;

    const std::string& Folder() const { return m_folder; }
    std::string PathOf(const OutboxEntry& entry) const;

    // Makes the folder if it is not there and, the first time, lists it to
    // learn the next arrival number.
    FileResult Ensure();
    // The path the next file taken in goes to (after Ensure), and its arrival.
    std::string NextArrivalPath(OutboxKind kind) const;
    void Arrived();
    // When the file of that arrival was taken, counted over every outbox;
    // 0 for one taken before this run (or adopted), which is older.
    std::uint64_t TakenAt(std::uint64_t arrival) const;
    // The folder may have been changed behind the bridge's back: it is
    // listed again before the next arrival.
    void ForgetNextArrival()
    {
        m_nextArrival.reset();
        ++m_changes;
    }

    // The next contact to send: a log file's record, or a message kept by
    // an earlier version.
    struct Contact {
        OutboxEntry entry;
        // `message` holds it (a file of kept messages), not `record`.
        bool IsKeptMessage() const { return entry.kind == OutboxKind::Messages; }
        QsoRecord record;
        std::string tags; // the record's tags as the file has them
        std::string message;
        bool last = false; // no contact follows it in its file
    };
    enum class Next {
        Waiting, // `contact` is the oldest one waiting
        Idle,    // nothing waits
        Held,    // the folder cannot be listed (reported)
        Stopped, // the program began shutting down while it read
    };
    // A file that cannot be read is set aside (with its box) and the next
    // one tried; a file whose contacts were all delivered is removed.
    Next ReadNext(Contact& contact);

    // Logvex has the contact: recorded on disk before anything else is sent.
    // A file that cannot be recorded is set aside, so nothing is sent twice
    // within the run.
    void RecordDelivery(const Contact& contact);

    struct Waiting {
        std::size_t contacts = 0;
        // When the oldest file that can still be sent was first seen here
        // (taken, or found at the start); nothing when none waits.
        std::optional<UtcSeconds> since;
    };
    // How many contacts wait in the outbox. Each file is counted once, when
    // first seen; a file set aside counts until the next start. Nothing when
    // the folder cannot be listed, or the program began shutting down while
    // a file was counted.
    std::optional<Waiting> CountWaiting();

private:
    enum class Found { Contact, AllDone, Bad, Stopped };

    Found ReadContact(const OutboxEntry& entry, Contact& contact, std::string& reason);
    void RemoveDelivered(const OutboxEntry& entry);
    void SetAside(const OutboxEntry& entry, const std::string& text);
    bool IsSetAside(std::uint64_t arrival) const;
    bool IsRemoved(std::uint64_t arrival) const;
    void ForgetUnlisted(const std::vector<OutboxEntry>& listed);
    // Whether what was learnt from a listing made after `changes` bridge
    // changes, at `listedAt`, may have gone stale: the bridge changed the
    // folder since, or the backstop for changes made behind its back is due.
    bool Stale(std::uint64_t changes, UtcSeconds listedAt) const;

    Files& m_files;
    MessageDrain& m_window;
    Reports& m_reports;
    std::string m_folder;
    char m_separator;
    std::optional<std::uint64_t> m_nextArrival; // unknown until the folder is listed
    std::vector<std::uint64_t> m_setAside;      // bad files, left for the next start
    // Files removed, which Windows may still list while another program
    // has them open ("delete pending"): gone all the same.
    std::vector<std::uint64_t> m_removed;
    std::unique_ptr<OutboxReading> m_reading; // the file being sent, open where its reading stopped
    std::uint64_t& m_takes;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_takenAt; // arrival, take, this run
    struct Counted {
        std::uint64_t arrival;
        std::size_t contacts;  // in the file
        UtcSeconds seenAt = 0; // when first counted
    };
    std::vector<Counted> m_counted;
    // The bridge's own changes to the folder (takes, deliveries, removals,
    // files set aside), so an idle tick need not list it again.
    std::uint64_t m_changes = 0;
    struct Listed {
        std::uint64_t changes = 0;
        UtcSeconds at = 0;
    };
    std::optional<std::pair<Listed, Waiting>> m_lastCount;
    std::optional<Listed> m_foundIdle; // nothing to send, as of then
};

} // namespace plovik
