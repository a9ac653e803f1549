#pragma once
// What the transfer engine needs of the program's window: the message
// drain, boxes, the check box and the send to Logvex. The Windows program
// has the real window, the tools and tests a stand-in.

#include <cstdint>
#include <string>

namespace plovik {

// An opaque window handle; 0 means "no window".
using WindowRef = std::uintptr_t;

// The check state a check box reports: 0 unticked, 1 ticked, 2 indeterminate.
using CheckState = int;

enum class SendStatus {
    // The receiver has the message, or may have it (a week without an
    // answer while it held it): never sent again.
    Delivered,
    ReceiverGone, // the window no longer exists
    NotDelivered, // not sent (Logvex not responding), or a failure the system leaves unexplained
    Refused,      // the system does not let us send to it (higher rights)
    InFlight,     // still under way; the result comes later (Transfer::SendFinished)
};

// The window's roles, each on its own so that an engine class takes only
// what it uses.

// What drains the thread's messages.
class MessageDrain {
public:
    virtual ~MessageDrain() = default;
    // Dispatches every message waiting in the thread's queue. Returns false
    // when the program is shutting down and the caller must stop its work.
    virtual bool DrainMessages() = 0;
};

// What shows boxes to the user.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal box with an OK button; returns once it is dismissed (or,
    // in the program, once it can be shown without holding up a transfer).
    virtual void ShowMessageBox(const std::string& text) = 0;
    // Whether a box of exactly `text` is still up or waiting to be shown.
    // A box shown before ShowMessageBox returns is never still up.
    virtual bool BoxPending(const std::string& /*text*/) const { return false; }
};

// What reads the "Do not send freq info" check box.
class NoFreqCheckBox {
public:
    virtual ~NoFreqCheckBox() = default;
    virtual CheckState GetNoFreqCheck() = 0;
};

// What sends to Logvex.
class CopyDataSender {
public:
    virtual ~CopyDataSender() = default;
    // Sends `data` (exactly its bytes, no terminating NUL) to `receiver` as
    // a copy-data packet of kind `kind`, from the program's main window.
    virtual SendStatus SendCopyData(WindowRef receiver, unsigned long kind,
                                    const std::string& data) = 0;
};

// The whole window side, for the transfer, which uses every role.
class WindowSide : public MessageDrain,
                   public MessageBoxes,
                   public NoFreqCheckBox,
                   public CopyDataSender {};

} // namespace plovik
