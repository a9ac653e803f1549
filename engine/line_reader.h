#pragma once
// Splits the raw bytes of a log file into lines the way a text-mode read
// does: a line ends at a line feed, a carriage return just before it is
// dropped, and a last line without terminator still counts.

#include "files.h"

#include <string>
#include <string_view>
#include <vector>

namespace plovik {

class LineReader {
public:
    explicit LineReader(LogFile& file);

    enum class Status { Line, End, Failed };

    // Reads the next line, without its terminator. `line` stays valid until
    // the next call; it points into the read buffer when the whole line is
    // there, so most lines are never copied.
    Status ReadLine(std::string_view& line);

private:
    bool Refill();

    LogFile& m_file;
    std::vector<char> m_buffer;
    std::string m_line; // a line that crosses reads is gathered here
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    bool m_bAtEnd = false;
    bool m_bFailed = false;
};

} // namespace plovik
