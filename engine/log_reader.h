#pragma once
// Reading the WSJT-X log file into the QSO record.

#include "platform.h"
#include "qso_record.h"

#include <functional>
#include <string>
#include <string_view>

namespace plovik {

// The text shown for a log file without any line of content.
inline constexpr const char* kEmptyFileText = "The source file is empty";

enum class ReadOutcome {
    Read,        // every contact of the file was handed over
    Empty,       // no line with content (ReadLogFile has shown the box)
    InUse,       // another program holds the file for writing
    Vanished,    // the file is not there (any more)
    Failed,      // other open or read failure (reason)
    Interrupted, // the program began shutting down
};

struct ReadResult {
    ReadOutcome outcome = ReadOutcome::Failed;
    std::string reason; // the system's text, for every outcome but the first two
};

// Cuts one tag text into name and value and hands it to the record.
// Returns 1 for the end-of-record tag (the record is not touched), else 0.
int ParseTag(QsoRecord& record, std::string_view tagText);

// Takes each contact of the file as it is completed. WSJT-X appends to the
// file while it waits to be read, so a file can hold several contacts, and
// each must reach Logvex as itself: the record is cleared before the first
// tag of each next contact.
using ContactSink = std::function<void(QsoRecord& contact)>;

// Reads the file at `path` contact by contact through `record`, handing
// each to `onContact`: at its end-of-record tag, and whatever follows the
// last one. A file without any end-of-record tag is one contact. The file
// is left as it is. Contacts handed over count only for Read: on any other
// outcome the file must be read again whole. Memory use is bounded by the
// longest line, not by the size of the file.
ReadResult ReadLogFile(QsoRecord& record, const std::string& path, Platform& platform,
                       const ContactSink& onContact);

// The same for a file already open; an empty one is only reported (Empty),
// with no box.
ReadResult ReadContacts(QsoRecord& record, LogFile& file, Platform& platform,
                        const ContactSink& onContact);

} // namespace plovik
