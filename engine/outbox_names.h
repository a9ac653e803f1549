#pragma once
// The names of the outbox: the folder beside WSJT-X's log that holds every
// contact taken from the log and not yet handled by Logvex.
//
// A file there is named "<arrival>.adi" (a log file as WSJT-X wrote it) or
// "<arrival>.txt" (messages, one a line, as an earlier version kept
// them), with "+<n>" before the dot once its first n contacts are delivered.
// Arrival numbers are sixteen digits, so names sort by arrival.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plovik {

inline constexpr const char* kOutboxFolderName = "plovik_bridge_outbox";
// Where an earlier version kept contacts not yet delivered at its close.
inline constexpr const char* kLegacyKeptName = "plovik_bridge_unsent.txt";
// The ADIF record of every contact Logvex has taken, beside the log.
inline constexpr const char* kSentRecordName = "plovik_bridge_sent.adi";

enum class OutboxKind {
    LogFile,  // ADIF, read with the log reader
    Messages, // one message a line, kept by an earlier version
};

struct OutboxEntry {
    std::uint64_t arrival = 0;
    std::size_t delivered = 0;
    OutboxKind kind = OutboxKind::LogFile;

    std::string Name() const;
};

// Nothing for a name the outbox does not make.
std::optional<OutboxEntry> ParseOutboxName(const std::string& name);

// The outbox's files, oldest first; names it does not know are left alone.
std::vector<OutboxEntry> SortedEntries(const std::vector<std::string>& names);

// The folder part of a path and the separator it uses ('/' or '\').
struct PathParts {
    std::string folder; // empty for a bare name
    char separator = '/';

    std::string Join(const std::string& name) const
    {
        return folder.empty() ? name : folder + separator + name;
    }
};
PathParts SplitPath(const std::string& path);

// The files of one WSJT-X folder that the bridge uses, from its log's path.
struct FolderPaths {
    std::string folder; // the instance's folder, which holds the rest
    std::string log;
    std::string backup;
    std::string outbox;
    std::string legacy;
    std::string sent; // the record of contacts Logvex has taken
    char separator = '/';

    static FolderPaths For(const std::string& logPath, const std::string& backupPath);
};

} // namespace plovik
