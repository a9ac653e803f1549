#pragma once
// Reading the WSJT-X log file into the QSO record.

#include "platform.h"
#include "qso_record.h"

#include <string>
#include <string_view>

namespace plovik {

// The text shown for a log file without any line of content.
inline constexpr const char* kEmptyFileText = "The source file is empty";

enum class ReadOutcome {
    ReadAndDeleted, // the record holds the file's contact; the file is gone
    Empty,          // no line with content: the box was shown, file kept
    NotDeleted,     // read, but the file could not be deleted (reason)
    InUse,          // another program holds the file for writing
    Vanished,       // the file is not there (any more)
    Failed,         // other open or read failure (reason); file kept
    Interrupted,    // the program began shutting down; file kept
};

struct ReadResult {
    ReadOutcome outcome = ReadOutcome::Failed;
    std::string reason; // the system's text, for every outcome but the first two
};

// Cuts one tag text into name and value and hands it to the record.
// Returns 1 for the end-of-record tag (the record is not touched), else 0.
int ParseTag(QsoRecord& record, std::string_view tagText);

// Reads the file at `path` into `record`, then deletes it. Memory use is
// bounded by the longest line, not by the size of the file.
ReadResult ReadLogFile(QsoRecord& record, const std::string& path, Platform& platform);

} // namespace plovik
