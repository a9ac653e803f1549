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
#include <string>

namespace plovik {

// One outbox file open where its reading stopped. It keeps the contact
// asked for and the one after it (so the last of a file is known before it
// goes): a contact sent again, after Logvex did not take it, costs no read.
struct OutboxReading {
    OutboxReading(const OutboxEntry& entry, std::unique_ptr<LogFile> opened, WindowSide& window)
        : arrival(entry.arrival), kind(entry.kind), file(std::move(opened))
    {
        if (kind == OutboxKind::LogFile)
            contacts = std::make_unique<ContactStream>(working, *file, window);
        else
            lines = std::make_unique<LineReader>(*file);
    }

    struct Read {
        std::size_t index = 0;
        QsoRecord record;
        std::string tags;
        std::string message;
    };
    enum class Pull { Got, Done, Stopped };

    // Reads one more contact into `ahead`, or learns how the file ends.
    Pull PullOne();
    // Ready messages, one a line; empty lines are none.
    bool NextMessage(std::string& message);

    std::uint64_t arrival;
    OutboxKind kind;
    std::unique_ptr<LogFile> file;
    QsoRecord working;
    std::unique_ptr<ContactStream> contacts; // a log file
    std::unique_ptr<LineReader> lines;       // ready messages
    std::size_t pulled = 0;                  // contacts read so far
    std::deque<Read> ahead;                  // read, not yet passed
    enum class Ended { No, End, Bad } ended = Ended::No;
    std::string reason;
};

} // namespace plovik
