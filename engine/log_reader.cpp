#include "log_reader.h"

#include "drain_pacer.h"
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

// Takes each contact with its tags as the file has them.
using CutSink = std::function<void(QsoRecord& contact, std::string& tags)>;

// Turns the tags of the file into contacts, one per end-of-record tag.
class ContactCutter {
public:
    // `keepTags`: each contact is handed over with its tags (else none).
    ContactCutter(QsoRecord& record, CutSink onContact, bool keepTags)
        : m_record(record), m_onContact(std::move(onContact)), m_bKeepTags(keepTags)
    {
    }

    // `tagged`: the text followed a '<' (else it is text between tags).
    void Tag(std::string_view tagText, bool tagged)
    {
        const CutTag tag = Cut(tagText);
        if (tag.IsEndOfRecord()) {
            // A second end-of-record tag with nothing between is no contact.
            if (m_handedOver > 0 && m_fresh)
                return;
            m_record.FinishRecord();
            if (m_bKeepTags)
                m_tags.append("<").append(TrimRight(tagText));
            HandOver();
            return;
        }
        if (m_fresh && m_handedOver > 0)
            m_record.ResetRecord(); // the previous contact has gone
        m_fresh = false;
        if (tagged && m_bKeepTags)
            m_tags.append("<").append(tagText);
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
        m_onContact(m_record, m_tags);
        m_tags.clear();
        ++m_handedOver;
        m_fresh = true;
    }

    QsoRecord& m_record;
    CutSink m_onContact;
    bool m_bKeepTags;
    std::string m_tags; // of the contact being cut
    std::size_t m_handedOver = 0;
    bool m_fresh = true; // no tag since the reset or the last hand-over
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
    CutLine(line, [&](std::string_view tagText, bool tagged) { cutter.Tag(tagText, tagged); });
    return LineResult::Continue;
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

struct ContactStream::Parts {
    // Each contact is handed to `direct` as it is cut, in the record itself,
    // or, without one, kept with its tags until asked for.
    Parts(QsoRecord& record, LogFile& file, std::deque<Cut>& cut, const ContactSink* direct)
        : reader(file),
          cutter(record,
                 direct
                     ? CutSink([direct](QsoRecord& contact, std::string&) { (*direct)(contact); })
                     : CutSink([&cut](QsoRecord& contact, std::string& tags) {
                           cut.push_back({contact, std::move(tags)});
                       }),
                 direct == nullptr)
    {
    }
    LineReader reader;
    DrainPacer pacer;
    ContactCutter cutter;
};

ContactStream::ContactStream(QsoRecord& record, LogFile& file, MessageDrain& window,
                             const ContactSink* direct)
    : m_record(record), m_file(file), m_window(window),
      m_parts(std::make_unique<Parts>(record, file, m_cut, direct))
{
}

ContactStream::~ContactStream() = default;

bool ContactStream::ReadLine()
{
    m_status = m_parts->reader.ReadLine(m_line);
    return m_status != LineReader::Status::Line || !m_parts->pacer.Due(m_line.size()) ||
           m_window.DrainMessages();
}

void ContactStream::Finish(Status status)
{
    m_state = State::Done;
    m_final = status;
    if (status == Status::Failed)
        m_reason = m_file.ErrorText();
}

ContactStream::Status ContactStream::Next(QsoRecord& contact, std::string* tags)
{
    while (m_cut.empty()) {
        if (m_state == State::Done)
            return m_final;
        Advance();
    }
    contact = std::move(m_cut.front().record);
    if (tags)
        *tags = std::move(m_cut.front().tags);
    m_cut.pop_front();
    return Status::Contact;
}

void ContactStream::Advance()
{
    if (m_state == State::Start) {
        // The first line with content; a line of blanks counts.
        do {
            if (!ReadLine())
                return Finish(Status::Interrupted);
        } while (m_status == LineReader::Status::Line && m_line.empty());
        if (m_status == LineReader::Status::Failed)
            return Finish(Status::Failed);
        if (m_status == LineReader::Status::End)
            return Finish(Status::Empty);

        // Header: a first line starting with '<' alone, else everything up
        // to and including the line with the header-end marker.
        if (m_line.front() != '<') {
            while (m_status == LineReader::Status::Line && !HasHeaderEnd(m_line))
                if (!ReadLine())
                    return Finish(Status::Interrupted);
            if (m_status == LineReader::Status::Failed)
                return Finish(Status::Failed);
        }
        m_record.ResetRecord();
        m_bReading = m_status == LineReader::Status::Line;
        m_parts->pacer.DueAtNextLine();
        m_state = State::Body;
        return;
    }
    if (m_bReading) {
        if (!ReadLine())
            return Finish(Status::Interrupted);
        if (m_status == LineReader::Status::Line) {
            const std::string_view trimmed = TrimRight(TrimLeft(m_line));
            if (!trimmed.empty())
                m_bReading = ParseLine(m_parts->cutter, trimmed) == LineResult::Continue;
            return;
        }
    }
    if (m_status == LineReader::Status::Failed)
        return Finish(Status::Failed);
    m_parts->cutter.End();
    Finish(Status::End);
}

ReadResult ReadLogFile(QsoRecord& record, const std::string& path, Files& files,
                       MessageDrain& window, const ContactSink& onContact)
{
    OpenResult opened = files.OpenForReading(path);
    switch (opened.status) {
    case OpenStatus::Opened:
        break;
    case OpenStatus::Absent:
        return ReadResult{ReadOutcome::Vanished, std::move(opened.reason)};
    case OpenStatus::InUse:
    case OpenStatus::Held:
        return ReadResult{ReadOutcome::InUse, std::move(opened.reason)};
    case OpenStatus::Failed:
        return ReadResult{ReadOutcome::Failed, std::move(opened.reason)};
    }
    return ReadContacts(record, *opened.file, window, onContact);
}

ReadResult ReadContacts(QsoRecord& record, LogFile& file, MessageDrain& window,
                        const ContactSink& onContact)
{
    // Each contact straight from the record, as it is cut: no copy of a
    // contact that may be megabytes.
    ContactStream stream(record, file, window, &onContact);
    QsoRecord none;
    for (;;) {
        switch (stream.Next(none)) {
        case ContactStream::Status::Contact:
            break; // never: the contacts went to onContact
        case ContactStream::Status::End:
            return ReadResult{ReadOutcome::Read, std::string()};
        case ContactStream::Status::Empty:
            return ReadResult{ReadOutcome::Empty, std::string()};
        case ContactStream::Status::Failed:
            return ReadResult{ReadOutcome::Failed, stream.Reason()};
        case ContactStream::Status::Interrupted:
            return ReadResult{ReadOutcome::Interrupted, std::string()};
        }
    }
}

} // namespace plovik
