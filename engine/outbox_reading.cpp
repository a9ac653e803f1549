#include "outbox_reading.h"

namespace plovik {

OutboxReading::OutboxReading(const OutboxEntry& entry, std::unique_ptr<LogFile> opened,
                             MessageDrain& window)
    : m_arrival(entry.arrival), m_kind(entry.kind), m_file(std::move(opened))
{
    if (m_kind == OutboxKind::LogFile)
        m_contacts = std::make_unique<ContactStream>(m_working, *m_file, window);
    else
        m_lines = std::make_unique<LineReader>(*m_file);
}

OutboxReading::~OutboxReading() = default;

bool OutboxReading::Reaches(const OutboxEntry& entry) const
{
    const std::size_t next = m_ahead.empty() ? m_pulled : m_ahead.front().index;
    return m_arrival == entry.arrival && m_kind == entry.kind && next <= entry.delivered;
}

OutboxReading::Found OutboxReading::ContactAt(std::size_t index)
{
    for (;;) {
        while (!m_ahead.empty() && m_ahead.front().index < index)
            m_ahead.pop_front();
        if (m_ended != Ended::No || m_ahead.size() >= 2)
            break;
        if (PullOne() == Pull::Stopped)
            return Found::Stopped;
    }
    if (!m_ahead.empty())
        return Found::Contact;
    return m_ended == Ended::Bad ? Found::Bad : Found::AllDone;
}

std::optional<std::size_t> OutboxReading::Count()
{
    Pull pull;
    while ((pull = PullOne()) == Pull::Got)
        m_ahead.clear();
    if (pull == Pull::Stopped)
        return std::nullopt;
    return m_pulled;
}

OutboxReading::Pull OutboxReading::PullOne()
{
    Read read;
    read.index = m_pulled;
    if (m_contacts) {
        switch (m_contacts->Next(read.record, &read.tags)) {
        case ContactStream::Status::Contact:
            break;
        case ContactStream::Status::End:
        case ContactStream::Status::Empty:
            m_ended = Ended::End;
            return Pull::Done;
        case ContactStream::Status::Failed:
            m_ended = Ended::Bad;
            m_reason = m_contacts->Reason();
            return Pull::Done;
        case ContactStream::Status::Interrupted:
            return Pull::Stopped;
        }
    } else if (!NextMessage(read.message)) {
        return Pull::Done;
    }
    ++m_pulled;
    m_ahead.push_back(std::move(read));
    return Pull::Got;
}

bool OutboxReading::NextMessage(std::string& message)
{
    std::string_view line;
    for (;;) {
        switch (m_lines->ReadLine(line)) {
        case LineReader::Status::Line:
            if (line.empty())
                continue;
            message = std::string(line);
            return true;
        case LineReader::Status::End:
            m_ended = Ended::End;
            return false;
        case LineReader::Status::Failed:
            m_ended = Ended::Bad;
            m_reason = m_file->ErrorText();
            return false;
        }
    }
}

} // namespace plovik
