// What the transfer tells the user as it goes: the waiting count and how
// long the oldest has waited, the late contact in Logvex's hands, and the
// call for attention.

#include "transfer.h"

#include "lateness.h"
#include "transfer_folder.h"

#include <algorithm>

namespace plovik {

void Transfer::NoteInHands()
{
    const Outbox::Contact& contact = m_inFlight->contact;
    const bool late = !contact.IsKeptMessage() && Lateness(contact.record, m_files.NowUtc()) > 0;
    m_progress.lateInHandsCall = late ? contact.record.m_strCall : std::string();
    m_progress.lateInHandsAt = late ? LoggedAtText(contact.record) : std::string();
}

void Transfer::CountWaiting()
{
    std::size_t waiting = 0;
    std::optional<UtcSeconds> since;
    for (const auto& folder : m_folders) {
        const std::optional<Outbox::Waiting> counted = folder->outbox.CountWaiting();
        if (!counted)
            return; // unknown: the last count stands
        waiting += counted->contacts;
        if (counted->since && (!since || *counted->since < *since))
            since = counted->since;
    }
    m_progress.waiting = waiting;
    // A clock set back makes no wait negative.
    m_oldestWait =
        since ? std::optional<UtcSeconds>(std::max<UtcSeconds>(0, m_files.NowUtc() - *since))
              : std::nullopt;
    m_progress.oldestWait = m_oldestWait.value_or(0);
    UpdateCall();
}

SendOutcome Transfer::NoteSend(SendOutcome outcome)
{
    switch (outcome) {
    case SendOutcome::NoReceiver:
    case SendOutcome::Refused:
        m_call.CannotTake();
        break;
    case SendOutcome::Held:
        // Held by a shutdown says nothing of Logvex.
        if (!m_bStopped)
            m_call.CannotTake();
        break;
    case SendOutcome::InFlight:
    case SendOutcome::Sent:
        m_call.HasInHands();
        break;
    case SendOutcome::NotRun:
    case SendOutcome::Idle:
        break;
    }
    UpdateCall();
    return outcome;
}

void Transfer::UpdateCall()
{
    m_call.Waited(m_oldestWait);
    m_progress.calling = m_call.Calling();
    m_progress.calls = m_call.Calls();
}

} // namespace plovik
