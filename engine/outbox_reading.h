#pragma once
// One outbox file open where its reading stopped, for the outbox that sends
// it.

#include "files.h"
#include "line_reader.h"
#include "log_reader.h"
#include "outbox_names.h"
#include "qso_record.h"
#include "window_side.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

namespace plovik {

// One outbox file open where its reading stopped. It keeps the contact
// asked for and the one after it (so the last of a file is known before it
// goes): a contact sent again, after Logvex did not take it, costs no read.
class OutboxReading {
public:
    OutboxReading(const OutboxEntry& entry, std::unique_ptr<LogFile> opened, MessageDrain& window);
    ~OutboxReading();
    OutboxReading(const OutboxReading&) = delete;
    OutboxReading& operator=(const OutboxReading&) = delete;

    std::uint64_t Arrival() const { return m_arrival; }
    // Whether this is the reading of `entry`'s file and has not yet read
    // past the contact `entry` asks for next.
    bool Reaches(const OutboxEntry& entry) const;

    enum class Found {
        Contact, // Contact() is the one asked for
        AllDone, // the file holds no more contacts
        Bad,     // a read failed (Reason)
        Stopped, // the program began shutting down while it read
    };
    // The contact at `index` (counted from the file's first), reading on as
    // far as the one after it.
    Found ContactAt(std::size_t index);

    struct Read {
        std::size_t index = 0;
        QsoRecord record;
        std::string tags;    // a log file's contact: its tags as the file has them
        std::string message; // a file of kept messages: the message
    };
    // After ContactAt found one: that contact, and whether none follows it.
    const Read& Contact() const { return m_ahead.front(); }
    bool IsLast() const { return m_ahead.size() == 1 && m_ended == Ended::End; }
    const std::string& Reason() const { return m_reason; }

    // Reads the whole file: how many contacts it holds; nothing when the
    // program began shutting down meanwhile.
    std::optional<std::size_t> Count();

private:
    enum class Pull { Got, Done, Stopped };
    enum class Ended { No, End, Bad };

    // Reads one more contact into `m_ahead`, or learns how the file ends.
    Pull PullOne();
    // Kept messages, one a line; empty lines are none.
    bool NextMessage(std::string& message);

    std::uint64_t m_arrival;
    OutboxKind m_kind;
    std::unique_ptr<LogFile> m_file;
    QsoRecord m_working;
    std::unique_ptr<ContactStream> m_contacts; // a log file
    std::unique_ptr<LineReader> m_lines;       // kept messages
    std::size_t m_pulled = 0;                  // contacts read so far
    std::deque<Read> m_ahead;                  // read, not yet passed
    Ended m_ended = Ended::No;
    std::string m_reason;
};

} // namespace plovik
