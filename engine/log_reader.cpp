#include "log_reader.h"

#include "line_reader.h"
#include "text.h"

#include <array>

namespace plovik {

namespace {

// Matched exactly, with regard to case, anywhere in a line.
constexpr std::array<std::string_view, 4> kHeaderEndMarkers{{"<EOH>", "<eoh>", "<EH>", "<eh>"}};

bool HasHeaderEnd(std::string_view line)
{
    for (std::string_view marker : kHeaderEndMarkers)
        if (line.find(marker) != std::string_view::npos)
            return true;
    return false;
}

enum class LineResult { Continue, StopReading };

// Cuts one trimmed data line into tag texts and feeds them to the record.
LineResult ParseLine(QsoRecord& record, std::string_view remainder)
{
    // A '*' anywhere ends the useful part of the file (this line included).
    if (remainder.find('*') != std::string_view::npos)
        return LineResult::StopReading;
    while (!remainder.empty()) {
        if (remainder.front() == '<')
            remainder.remove_prefix(1);
        const std::size_t next = remainder.find('<');
        const std::string_view tagText = remainder.substr(0, next);
        remainder = next == std::string_view::npos ? std::string_view() : remainder.substr(next);
        if (ParseTag(record, tagText) == 1)
            record.FinishRecord();
    }
    return LineResult::Continue;
}

ReadResult Result(ReadOutcome outcome, std::string reason = std::string())
{
    return ReadResult{outcome, std::move(reason)};
}

} // namespace

int ParseTag(QsoRecord& record, std::string_view tagText)
{
    tagText = TrimRight(tagText);
    // The name runs up to the first ':'; it is upper-cased on the way. A
    // name longer than any the record knows can be neither a field nor the
    // end-of-record tag, so there is nothing to hand over.
    char upper[kLongestFieldName];
    std::size_t length = 0;
    for (; length < tagText.size() && tagText[length] != ':'; ++length) {
        if (length == kLongestFieldName)
            return 0;
        upper[length] = ToUpperAscii(tagText[length]);
    }
    const std::string_view name(upper, length);
    if (name == "EOR>")
        return 1;
    const std::size_t close = tagText.find('>');
    const std::string_view value =
        close == std::string_view::npos ? std::string_view() : tagText.substr(close + 1);
    record.SetField(name, value);
    return 0;
}

ReadResult ReadLogFile(QsoRecord& record, const std::string& path, Platform& platform)
{
    OpenResult opened = platform.OpenLogFile(path);
    switch (opened.status) {
    case OpenStatus::Opened:
        break;
    case OpenStatus::Absent:
        return Result(ReadOutcome::Vanished, std::move(opened.reason));
    case OpenStatus::InUse:
        return Result(ReadOutcome::InUse, std::move(opened.reason));
    case OpenStatus::Failed:
        return Result(ReadOutcome::Failed, std::move(opened.reason));
    }
    std::unique_ptr<LogFile> file = std::move(opened.file);
    LineReader reader(*file);
    std::string_view line;
    LineReader::Status status;

    const auto readFailed = [&] { return Result(ReadOutcome::Failed, file->ErrorText()); };

    // The first line with content; a line of blanks counts.
    do {
        status = reader.ReadLine(line);
    } while (status == LineReader::Status::Line && line.empty());
    if (status == LineReader::Status::Failed)
        return readFailed();
    if (status == LineReader::Status::End) {
        // Close before the box, so WSJT-X can go on writing while it is up.
        file.reset();
        platform.ShowMessageBox(kEmptyFileText);
        return Result(ReadOutcome::Empty);
    }

    // Header: a first line starting with '<' alone, else everything up to
    // and including the line with the header-end marker.
    if (line.front() != '<') {
        while (status == LineReader::Status::Line && !HasHeaderEnd(line))
            status = reader.ReadLine(line);
        if (status == LineReader::Status::Failed)
            return readFailed();
    }

    record.ResetRecord();
    bool reading = status == LineReader::Status::Line;
    while (reading) {
        status = reader.ReadLine(line);
        if (status != LineReader::Status::Line)
            break;
        if (!platform.DrainMessages())
            return Result(ReadOutcome::Interrupted);
        const std::string_view trimmed = TrimRight(TrimLeft(line));
        if (!trimmed.empty())
            reading = ParseLine(record, trimmed) == LineResult::Continue;
    }
    if (status == LineReader::Status::Failed)
        return readFailed();

    std::string reason;
    if (!file->DeleteAndClose(reason))
        return Result(ReadOutcome::NotDeleted, std::move(reason));
    return Result(ReadOutcome::ReadAndDeleted);
}

} // namespace plovik
