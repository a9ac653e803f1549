#pragma once
// The system's files, with a clock that stands still at one moment: the
// tests that run the real files still decide what is late.

#include "system_files.h"

namespace plovik::testing {

class SystemFilesAt : public SystemFiles {
public:
    explicit SystemFilesAt(UtcSeconds now) : m_now(now) {}
    UtcSeconds NowUtc() override { return m_now; }

private:
    UtcSeconds m_now;
};

} // namespace plovik::testing
