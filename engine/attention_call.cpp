#include "attention_call.h"

namespace plovik {

void AttentionCall::Waited(std::optional<UtcSeconds> oldest)
{
    if (!oldest) {
        EndStretch();
        return;
    }
    if (m_bBlocked && !m_bCalled && *oldest >= kCallAfterSeconds) {
        m_bCalled = true;
        m_bCalling = true;
        ++m_calls;
    }
}

void AttentionCall::EndStretch()
{
    m_bBlocked = false;
    m_bCalled = false;
    m_bCalling = false;
}

} // namespace plovik
