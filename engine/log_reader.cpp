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

// One tag text cut into its upper-cased name and its value.
struct CutTag {
    char upper[kLongestFieldName];
    std::size_t length = 0;
    bool tooLong = false; // longer than any name the record knows
    std::string_view value;

    std::string_view Name() const { return std::string_view(upper, length); }
    bool IsEndOfRecord() const { return !tooLong && Name() == "EOR>"; }
};

CutTag Cut(std::string_view tagText)
{
    CutTag tag;
    tagText = TrimRight(tagText);
    // The name runs up to the first ':'; it is upper-cased on the way.
    for (; tag.length < tagText.size() && tagText[tag.length] != ':'; ++tag.length) {
        if (tag.length == kLongestFieldName) {
            tag.tooLong = true;
            return tag;
        }
        tag.upper[tag.length] = ToUpperAscii(tagText[tag.length]);
    }
    const std::size_t close = tagText.find('>');
    tag.value = close == std::string_view::npos ? std::string_view() : tagText.substr(close + 1);
    return tag;
}

bool IsBlank(const QsoRecord& record)
{
    bool blank = record.m_bQslRcvd == 0;
    ForEachField(record, [&](const char* member, const std::string& value) {
        blank = blank && (value.empty() || std::string_view(member) == "m_bQslRcvd");
    });
    return blank;
}

// Turns the tags of the file into contacts, one per end-of-record tag.
class ContactCutter {
public:
    ContactCutter(QsoRecord& record, const ContactSink& onContact)
        : m_record(record), m_onContact(onContact)
    {
    }

    void Tag(std::string_view tagText)
    {
        const CutTag tag = Cut(tagText);
        if (tag.IsEndOfRecord()) {
            // A second end-of-record tag with nothing between is no contact.
            if (m_handedOver > 0 && m_fresh)
                return;
            m_record.FinishRecord();
            HandOver();
            return;
        }
        if (m_fresh && m_handedOver > 0)
            m_record.ResetRecord(); // the previous contact has gone
        m_fresh = false;
        if (!tag.tooLong)
            m_record.SetField(tag.Name(), tag.value);
    }

    // The part after the last end-of-record tag, or the whole file if it
    // has none: a contact too, unless it set nothing.
    void End()
    {
        if (m_handedOver == 0 || (!m_fresh && !IsBlank(m_record)))
            HandOver();
    }

private:
    void HandOver()
    {
        m_onContact(m_record);
        ++m_handedOver;
        m_fresh = true;
    }

    QsoRecord& m_record;
    const ContactSink& m_onContact;
    std::size_t m_handedOver = 0;
    bool m_fresh = true; // no tag since the reset or the last hand-over
};

// A queue drain costs microseconds under Wine and a blank line nanoseconds
// to read, so a drain at every line kept the bridge over a file of millions
// of blank lines for hours, with every contact behind it waiting. A drain every 1024 lines or 64 KiB read still
// answers the user within a millisecond or two of reading.
class DrainPacer {
public:
    static constexpr std::size_t kLines = 1024;
    static constexpr std::size_t kBytes = 64 * 1024;

    // Counts one line read; true when a drain is due.
    bool Due(std::size_t lineLength)
    {
        m_bytes += lineLength + 1;
        if (++m_lines < kLines && m_bytes < kBytes)
            return false;
        m_lines = 0;
        m_bytes = 0;
        return true;
    }
    // The next line drains whatever the count (the first line of data:
    // a short file gets no other drain).
    void DueAtNextLine() { m_lines = kLines - 1; }

private:
    std::size_t m_lines = 0;
    std::size_t m_bytes = 0;
};

enum class LineResult { Continue, StopReading };

// Calls `onPiece` with each piece of a trimmed data line, as the line is cut
// into tag texts: `tagged` tells whether the piece followed a '<'.
template <typename OnPiece> void CutLine(std::string_view remainder, const OnPiece& onPiece)
{
    while (!remainder.empty()) {
        const bool tagged = remainder.front() == '<';
        if (tagged)
            remainder.remove_prefix(1);
        const std::size_t next = remainder.find('<');
        onPiece(remainder.substr(0, next), tagged);
        remainder = next == std::string_view::npos ? std::string_view() : remainder.substr(next);
    }
}

// A '*' outside every value (text before the first tag, or a tag's name and
// length) ends the useful part of the file. Inside a value it is just a
// character: a comment "best * dx" must not cost the contact and all after it.
bool HasStarOutsideValues(std::string_view line)
{
    bool found = false;
    CutLine(line, [&](std::string_view piece, bool tagged) {
        const std::string_view outside = tagged ? piece.substr(0, piece.find('>')) : piece;
        found = found || outside.find('*') != std::string_view::npos;
    });
    return found;
}

// Cuts one trimmed data line into tag texts.
LineResult ParseLine(ContactCutter& cutter, std::string_view line)
{
    // Such a line gives no field at all.
    if (HasStarOutsideValues(line))
        return LineResult::StopReading;
    CutLine(line, [&](std::string_view tagText, bool) { cutter.Tag(tagText); });
    return LineResult::Continue;
}

ReadResult Result(ReadOutcome outcome, std::string reason = std::string())
{
    return ReadResult{outcome, std::move(reason)};
}

} // namespace

int ParseTag(QsoRecord& record, std::string_view tagText)
{
    // A name longer than any the record knows can be neither a field nor
    // the end-of-record tag, so there is nothing to hand over.
    const CutTag tag = Cut(tagText);
    if (tag.IsEndOfRecord())
        return 1;
    if (!tag.tooLong)
        record.SetField(tag.Name(), tag.value);
    return 0;
}

ReadResult ReadLogFile(QsoRecord& record, const std::string& path, Platform& platform,
                       const ContactSink& onContact)
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
    ReadResult read = ReadContacts(record, *opened.file, platform, onContact);
    if (read.outcome == ReadOutcome::Empty) {
        // Close before the box, so WSJT-X can go on writing while it is up.
        opened.file.reset();
        platform.ShowMessageBox(kEmptyFileText);
    }
    return read;
}

ReadResult ReadContacts(QsoRecord& record, LogFile& file, Platform& platform,
                        const ContactSink& onContact)
{
    LineReader reader(file);
    std::string_view line;
    LineReader::Status status;

    const auto readFailed = [&] { return Result(ReadOutcome::Failed, file.ErrorText()); };
    DrainPacer pacer;
    // Reads the next line into `line` and `status`; false when a drain due
    // there dispatched the end of the program.
    const auto readLine = [&] {
        status = reader.ReadLine(line);
        return status != LineReader::Status::Line || !pacer.Due(line.size()) ||
               platform.DrainMessages();
    };

    // The first line with content; a line of blanks counts.
    do {
        if (!readLine())
            return Result(ReadOutcome::Interrupted);
    } while (status == LineReader::Status::Line && line.empty());
    if (status == LineReader::Status::Failed)
        return readFailed();
    if (status == LineReader::Status::End)
        return Result(ReadOutcome::Empty);

    // Header: a first line starting with '<' alone, else everything up to
    // and including the line with the header-end marker.
    if (line.front() != '<') {
        while (status == LineReader::Status::Line && !HasHeaderEnd(line))
            if (!readLine())
                return Result(ReadOutcome::Interrupted);
        if (status == LineReader::Status::Failed)
            return readFailed();
    }

    record.ResetRecord();
    ContactCutter cutter(record, onContact);
    bool reading = status == LineReader::Status::Line;
    pacer.DueAtNextLine();
    while (reading) {
        if (!readLine())
            return Result(ReadOutcome::Interrupted);
        if (status != LineReader::Status::Line)
            break;
        const std::string_view trimmed = TrimRight(TrimLeft(line));
        if (!trimmed.empty())
            reading = ParseLine(cutter, trimmed) == LineResult::Continue;
    }
    if (status == LineReader::Status::Failed)
        return readFailed();
    cutter.End();
    return Result(ReadOutcome::Read);
}

} // namespace plovik
