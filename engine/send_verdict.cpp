#include "send_verdict.h"

namespace plovik {

// The send is SendMessageTimeout with SMTO_ABORTIFHUNG,
// SMTO_NOTIMEOUTIFNOTHUNG and SMTO_ERRORONEXIT and a limit of a week.
// Microsoft documents a return of 0 for a failure or a time-out, with
// ERROR_TIMEOUT for the time-out (and, on Windows 2000, a last error of 0);
// it says nothing of the error the SMTO_ABORTIFHUNG refusal leaves, and
// ReactOS leaves none. Windows counts a thread as not responding only once
// it has not asked for a message for five seconds, and with
// SMTO_NOTIMEOUTIFNOTHUNG the limit does not run while Logvex handles
// messages: so nothing fails within a second after Logvex took the message.
SendStatus SendVerdict(const SendSeen& seen)
{
    // Delivered means the handler ran, whatever it returned: a receiver may
    // handle WM_COPYDATA and still return FALSE (DefWindowProc does).
    if (seen.sent)
        return SendStatus::Delivered;
    // SMTO_ERRORONEXIT: the window destroyed or its thread ended during the
    // send (crashed, ended from Task Manager; Wine then reports access
    // denied). Logvex did not finish with it: sent again.
    if (!seen.windowThere || !seen.threadThere)
        return SendStatus::ReceiverGone;
    // User Interface Privilege Isolation refuses a Logvex with higher rights
    // before anything is handed over.
    if (seen.lastError == kErrorAccessDenied)
        return SendStatus::Refused;
    // A quick failure, whatever its last error (none, as the refusal of a hung
    // Logvex may leave, included), is a refusal before the hand-over.
    if (seen.tookMs < kRefusalMs)
        return SendStatus::NotDelivered;
    // Handed over, then no answer for a week, or a failure the system does
    // not explain: Logvex may have logged it, so it is not sent again.
    return SendStatus::Delivered;
}

} // namespace plovik
