#include "send_verdict.h"

namespace plovik {

// A Logvex that Windows counts as not responding (IsHungAppWindow: it has
// not asked for a message for five seconds) is not sent to at all. Any other
// is sent SendMessageTimeout with SMTO_NOTIMEOUTIFNOTHUNG and
// SMTO_ERRORONEXIT, a limit of a week, and without SMTO_ABORTIFHUNG, whose
// give-up while the message waits in Logvex's queue Microsoft leaves
// undescribed. So the call returns only when Logvex has handled the message,
// when "the receiving window is destroyed or its owning thread dies while the
// message is being processed" (SMTO_ERRORONEXIT), when the system refuses it
// (higher rights), or when Logvex has stopped answering for the whole week
// (ERROR_TIMEOUT). No verdict depends on how long the call took.
SendStatus SendVerdict(const SendSeen& seen)
{
    // Waits at the pace of any contact Logvex cannot take now.
    if (seen.hung)
        return SendStatus::NotDelivered;
    // Delivered means the handler ran, whatever it returned: a receiver may
    // handle WM_COPYDATA and still return FALSE (DefWindowProc does).
    if (seen.sent)
        return SendStatus::Delivered;
    // The window destroyed or its thread ended during the send (crashed,
    // ended from Task Manager; Wine then reports access denied). Logvex did
    // not finish with it: sent again.
    if (!seen.windowThere || !seen.threadThere)
        return SendStatus::ReceiverGone;
    // User Interface Privilege Isolation refuses a Logvex with higher rights
    // before anything is handed over.
    if (seen.lastError == kErrorAccessDenied)
        return SendStatus::Refused;
    // The week ran out while Logvex, hung, held the message: it may have
    // logged it, so it is not sent again.
    if (seen.lastError == kErrorTimeout)
        return SendStatus::Delivered;
    // Any other failure the system does not explain: whether Logvex has it is
    // unknown, and a duplicate can be deleted where a loss is never seen.
    return SendStatus::NotDelivered;
}

} // namespace plovik
