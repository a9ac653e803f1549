#pragma once
// The system's UTC clock. It is the system's, not the window's: it sits
// beside the files (the tests set it).

#include <cstdint>

namespace plovik {

// A moment in UTC: seconds since 1970-01-01 00:00:00 UTC.
using UtcSeconds = std::int64_t;

class Clock {
public:
    virtual ~Clock() = default;
    virtual UtcSeconds NowUtc() = 0;
};

} // namespace plovik
