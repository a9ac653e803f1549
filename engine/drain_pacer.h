#pragma once
// How often a long read lets the window answer.

#include <cstddef>

namespace plovik {

// A queue drain costs microseconds under Wine and a blank line nanoseconds
// to read, so a drain at every line kept the bridge over a file of millions
// of blank lines for hours, with every contact behind it waiting. A drain every 1024 lines or 64
// KiB read still answers the user within a millisecond or two of reading.
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

} // namespace plovik
