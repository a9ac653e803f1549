#pragma once
// Contacts already taken from the log file but not yet delivered when the
// bridge closes: kept in a file of their own, one message a line, and taken
// back at the next start, so that closing the bridge loses none of them.
// A message never holds a line feed: its values come from single lines.

#include <deque>
#include <string>

namespace plovik {

// Appends the messages to the file; false, with the reason, if it could not.
bool SaveUnsent(const std::string& path, const std::deque<std::string>& messages,
                std::string& reason);

struct LoadedUnsent {
    bool ok = true;                   // false: the file could not be read or removed; it is kept
    std::string reason;               // why, when not ok
    std::deque<std::string> messages; // oldest first; none when there is no file
};

// Takes the kept messages back and removes the file, so they are not taken
// twice. A file that cannot be removed gives no messages.
LoadedUnsent LoadUnsent(const std::string& path);

} // namespace plovik
