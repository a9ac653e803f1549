#include "line_reader.h"

#include <cstring>

namespace plovik {

namespace {
constexpr std::size_t kChunkSize = 256 * 1024;
}

LineReader::LineReader(LogFile& file) : m_file(file), m_buffer(kChunkSize) {}

bool LineReader::Refill()
{
    m_begin = 0;
    m_end = 0;
    if (m_bAtEnd || m_bFailed)
        return false;
    std::size_t count = 0;
    switch (m_file.Read(m_buffer.data(), m_buffer.size(), count)) {
    case ReadStatus::Data:
        m_end = count;
        return count > 0;
    case ReadStatus::End:
        m_bAtEnd = true;
        return false;
    case ReadStatus::Failed:
        m_bFailed = true;
        return false;
    }
    return false;
}

LineReader::Status LineReader::ReadLine(std::string_view& line)
{
    line = std::string_view();
    bool gathering = false;
    for (;;) {
        if (m_begin == m_end && !Refill())
            break;
        const char* start = m_buffer.data() + m_begin;
        const std::size_t available = m_end - m_begin;
        const void* newline = std::memchr(start, '\n', available);
        if (newline) {
            const std::size_t length = static_cast<const char*>(newline) - start;
            m_begin += length + 1;
            if (gathering) {
                m_line.append(start, length);
                line = m_line;
            } else {
                line = std::string_view(start, length);
            }
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            return Status::Line;
        }
        if (!gathering)
            m_line.clear();
        gathering = true;
        m_line.append(start, available);
        m_begin = m_end;
    }
    if (m_bFailed)
        return Status::Failed;
    if (!gathering)
        return Status::End;
    line = m_line;
    return Status::Line;
}

} // namespace plovik
