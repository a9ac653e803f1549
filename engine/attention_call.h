#pragma once
// The call for attention: once a contact has waited two minutes and Logvex
// cannot take it (not there, not responding, or refusing), the operator is
// called while there is still time before it goes late. One call per
// stretch of waiting: it ends when Logvex takes a contact or nothing waits,
// and only a new stretch calls again.

#include "clock.h"

#include <cstddef>
#include <optional>

namespace plovik {

// How long a contact waits before the operator is called.
inline constexpr UtcSeconds kCallAfterSeconds = 2 * 60;

class AttentionCall {
public:
    // What the last try to send showed of Logvex.
    void CannotTake() { m_bBlocked = true; }
    void HasInHands() { m_bBlocked = false; }
    // Logvex took a contact: the stretch ends.
    void Took() { EndStretch(); }

    // After each count: how long the oldest contact Logvex could take has
    // waited; nothing when none waits, which ends the stretch.
    void Waited(std::optional<UtcSeconds> oldest);

    // A call is on from its start to the end of its stretch.
    bool Calling() const { return m_bCalling; }
    // Calls made since the start.
    std::size_t Calls() const { return m_calls; }

private:
    void EndStretch();

    bool m_bBlocked = false; // Logvex could not take the last contact tried
    bool m_bCalled = false;  // this stretch has had its call
    bool m_bCalling = false;
    std::size_t m_calls = 0;
};

} // namespace plovik
