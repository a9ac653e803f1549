#pragma once
// What a send to Logvex that has returned means: delivered, or surely not
// handed over and so to be sent again. One decision over plain facts, so it
// is checked without Windows.

#include "window_side.h"

#include <cstdint>

namespace plovik {

// The two last errors the decision knows, as Windows numbers them.
inline constexpr std::uint32_t kErrorAccessDenied = 5; // ERROR_ACCESS_DENIED
inline constexpr std::uint32_t kErrorTimeout = 1460;   // ERROR_TIMEOUT

// What the send saw once it had returned.
struct SendSeen {
    bool hung = false;           // Logvex was not responding: nothing was sent
    bool sent = false;           // the call reported success
    std::uint32_t lastError = 0; // the last error it left (0 when none)
    bool windowThere = true;     // Logvex's window still exists
    bool threadThere = true;     // the thread that owns it still runs
};

SendStatus SendVerdict(const SendSeen& seen);

} // namespace plovik
