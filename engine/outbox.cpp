#include "outbox.h"

#include "line_reader.h"
#include "log_reader.h"

#include <algorithm>

namespace plovik {

namespace {

// Blank lines WSJT-X never writes: past this many bytes of them the file is
// taken all the same, and the reading of the outbox, which keeps the window
// answering, finds out whether anything follows.
constexpr std::size_t kTakeScanLimit = 1024 * 1024;

} // namespace

TakeResult TakeLogFile(const std::string& logPath, const std::string& target, Platform& platform)
{
    OpenResult opened = platform.OpenLogFile(logPath);
    switch (opened.status) {
    case OpenStatus::Opened:
        break;
    case OpenStatus::Absent:
        return {TakeOutcome::NoFile, std::move(opened.reason)};
    case OpenStatus::InUse:
        return {TakeOutcome::InUse, std::move(opened.reason)};
    case OpenStatus::Failed:
        return {TakeOutcome::Failed, std::move(opened.reason)};
    }
    std::unique_ptr<LogFile> file = std::move(opened.file);
    LineReader reader(*file);
    std::string_view line;
    LineReader::Status status;
    std::size_t scanned = 0;
    do {
        status = reader.ReadLine(line);
        scanned += line.size() + 1;
    } while (status == LineReader::Status::Line && line.empty() && scanned < kTakeScanLimit);
    if (status == LineReader::Status::Failed)
        return {TakeOutcome::Failed, file->ErrorText()};
    if (status == LineReader::Status::End) {
        // Closed before the box, so WSJT-X can go on writing while it is up.
        file.reset();
        platform.ShowMessageBox(kEmptyFileText);
        return {TakeOutcome::Empty, std::string()};
    }
    std::string reason;
    if (!file->HandOverAndClose(target, reason))
        return {TakeOutcome::Failed, std::move(reason)};
    return {TakeOutcome::Taken, std::string()};
}

} // namespace plovik
