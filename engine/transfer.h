#pragma once
// The transfer step that every timer tick of the bridge runs: read the log
// file when Logvex is there to take it, send its contacts one message each,
// and keep those whose send fails, so that no contact is lost or sent twice.

#include "platform.h"
#include "qso_record.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

namespace plovik {

enum class TickOutcome {
    Skipped,    // another tick was still running: nothing done
    Stopped,    // the program is shutting down
    NoReceiver, // no Logvex window: the log file was left unread
    NoFile,     // no log file (or it vanished before the open)
    InUse,      // WSJT-X holds the log file for writing: try again later
    Empty,      // the file had no content: the box was shown, file kept
    Failed,     // the file could not be read or deleted: reported, kept
    Sent,       // every contact read was delivered
    Held,       // a contact could not be delivered; it and those after it wait
};

class Transfer {
public:
    explicit Transfer(Platform& platform) : m_platform(platform) {}

    // One tick. `probe` runs after the message drain: it refreshes the
    // lights and returns the Logvex window, which receives this tick's
    // message. A tick entered while another runs (from a drain or from the
    // modal loop of a box) does nothing.
    TickOutcome RunTick(QsoRecord& record, const std::string& logPath, std::uint8_t& m_nNoFreq,
                        const std::function<WindowRef()>& probe);

    bool IsRunning() const { return m_bRunning; }
    // The messages read and deleted but not yet delivered, oldest first.
    const std::deque<std::string>& Pending() const { return m_pending; }
    // Messages kept from an earlier run: sent before any held now.
    void Restore(std::deque<std::string> messages);

private:
    // Sends the held messages in order; stops at the first not delivered.
    TickOutcome SendPending(WindowRef receiver);
    void ReportOnce(const std::string& text);

    Platform& m_platform;
    bool m_bRunning = false;
    std::deque<std::string> m_pending; // read and deleted, not yet delivered
    std::string m_lastReport;          // the error box last shown
};

} // namespace plovik
