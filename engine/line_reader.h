#pragma once
// Splits the raw bytes of a log file into lines the way a text-mode read
// does: a line ends at a line feed, a carriage return just before it is
// dropped, and a last line without terminator still counts.

#include "platform.h"

#include <string>
#include <vector>

namespace plovik {

class LineReader {
public:
    explicit LineReader(LogFile& file);

    enum class Status { Line, End, Failed };

    // Reads the next line, without its terminator, into `line`.
    Status ReadLine(std::string& line);

private:
    bool Refill();

    LogFile& m_file;
    std::vector<char> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    bool m_bAtEnd = false;
    bool m_bFailed = false;
};

} // namespace plovik
