#pragma once
// What the transfer engine needs of the program's window: the message
// drain, one box, the check box and the send to Logvex. The Windows program
// has the real window, the tools and tests a stand-in.

#include <cstdint>
#include <string>

namespace plovik {

// An opaque window handle; 0 means "no window".
using WindowRef = std::uintptr_t;

// The check state a check box reports: 0 unticked, 1 ticked, 2 indeterminate.
using CheckState = int;

// A moment in UTC: seconds since 1970-01-01 00:00:00 UTC.
using UtcSeconds = std::int64_t;

enum class SendStatus {
    // The receiver has the message, or may have it (a week without an
    // answer while it held it): never sent again.
    Delivered,
    ReceiverGone, // the window no longer exists
    NotDelivered, // not sent (Logvex not responding), or a failure the system leaves unexplained
    Refused,      // the system does not let us send to it (higher rights)
    InFlight,     // still under way; the result comes later (Transfer::SendFinished)
};

class WindowSide {
public:
    virtual ~WindowSide() = default;

    // Dispatches every message waiting in the thread's queue. Returns false
    // when the program is shutting down and the caller must stop its work.
    virtual bool DrainMessages() = 0;

    // Shows a modal box with an OK button; returns once it is dismissed (or,
    // in the program, once it can be shown without holding up a transfer).
    virtual void ShowMessageBox(const std::string& text) = 0;

    // The state of the "Do not send freq info" check box.
    virtual CheckState GetNoFreqCheck() = 0;

    // Sends `data` (exactly its bytes, no terminating NUL) to `receiver` as
    // a copy-data packet of kind `kind`, from the program's main window.
    virtual SendStatus SendCopyData(WindowRef receiver, unsigned long kind,
                                    const std::string& data) = 0;

    // The system's UTC clock.
    virtual UtcSeconds NowUtc() = 0;

    // Whether a box of exactly `text` is still up or waiting to be shown.
    // A box shown before ShowMessageBox returns is never still up.
    virtual bool BoxPending(const std::string& /*text*/) const { return false; }
};

} // namespace plovik
