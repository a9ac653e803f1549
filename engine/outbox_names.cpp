#include "outbox_names.h"

#include <algorithm>

namespace plovik {

namespace {

constexpr std::size_t kArrivalDigits = 16;

// Digits only, no sign, no overflow; false for anything else.
bool ParseNumber(const std::string& text, std::uint64_t& value)
{
    if (text.empty() || text.size() > 19)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

} // namespace

std::string OutboxEntry::Name() const
{
    // Digits by hand: the C library's formatting would bring its whole
    // floating-point machinery into the program.
    std::string name(kArrivalDigits, '0');
    std::uint64_t rest = arrival;
    for (std::size_t at = kArrivalDigits; at-- > 0 && rest > 0; rest /= 10)
        name[at] = static_cast<char>('0' + rest % 10);
    if (delivered > 0)
        name += "+" + std::to_string(delivered);
    return name + (kind == OutboxKind::LogFile ? ".adi" : ".txt");
}

std::optional<OutboxEntry> ParseOutboxName(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return std::nullopt;
    OutboxEntry entry;
    const std::string extension = name.substr(dot);
    if (extension == ".adi")
        entry.kind = OutboxKind::LogFile;
    else if (extension == ".txt")
        entry.kind = OutboxKind::Messages;
    else
        return std::nullopt;
    const std::string stem = name.substr(0, dot);
    const std::size_t plus = stem.find('+');
    const std::string arrival = stem.substr(0, plus);
    if (arrival.size() != kArrivalDigits || !ParseNumber(arrival, entry.arrival))
        return std::nullopt;
    if (plus != std::string::npos) {
        std::uint64_t delivered = 0;
        if (!ParseNumber(stem.substr(plus + 1), delivered) || delivered == 0)
            return std::nullopt;
        entry.delivered = static_cast<std::size_t>(delivered);
    }
    return entry;
}

std::vector<OutboxEntry> SortedEntries(const std::vector<std::string>& names)
{
    std::vector<OutboxEntry> entries;
    for (const std::string& name : names)
        if (const std::optional<OutboxEntry> entry = ParseOutboxName(name))
            entries.push_back(*entry);
    std::sort(entries.begin(), entries.end(), [](const OutboxEntry& a, const OutboxEntry& b) {
        return a.arrival != b.arrival ? a.arrival < b.arrival : a.delivered > b.delivered;
    });
    return entries;
}

PathParts SplitPath(const std::string& path)
{
    PathParts parts;
    const std::size_t at = path.find_last_of("/\\");
    if (at != std::string::npos) {
        parts.folder = path.substr(0, at);
        parts.separator = path[at];
    }
    return parts;
}

FolderPaths FolderPaths::For(const std::string& logPath, const std::string& backupPath)
{
    const PathParts logParts = SplitPath(logPath);
    FolderPaths paths;
    paths.folder = logParts.folder;
    paths.log = logPath;
    paths.backup = backupPath;
    paths.outbox = logParts.Join(kOutboxFolderName);
    paths.legacy = logParts.Join(kLegacyKeptName);
    paths.sent = logParts.Join(kSentRecordName);
    paths.separator = logParts.separator;
    return paths;
}

} // namespace plovik
