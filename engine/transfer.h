#pragma once
// The transfer step that every tick of the bridge runs. It takes WSJT-X's
// log file into the outbox at once, whether Logvex is there or not, and
// sends the outbox to Logvex oldest first, one contact at a time, recording
// each delivery on disk before the next send. So a contact is on disk at
// every instant until Logvex has handled it, and a crash at any moment
// loses none; at most the one contact Logvex had just handled, not yet
// recorded, is sent again.

#include "outbox.h"
#include "platform.h"
#include "qso_record.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace plovik {

enum class TickStatus {
    Ran,
    Skipped, // another tick was still running: nothing done
    Stopped, // the program is shutting down
};

enum class SendOutcome {
    NotRun,
    NoReceiver, // no Logvex window: the outbox waits
    Idle,       // nothing waits in the outbox
    Sent,       // everything that waited was delivered
    Held,       // Logvex did not take a contact: it and the rest wait
    InFlight,   // a send is under way; its result comes to SendFinished
    Refused,    // the system refused the send (Logvex has higher rights)
};

struct TickOutcome {
    TickStatus status = TickStatus::Ran;
    TakeOutcome take = TakeOutcome::NotRun;
    SendOutcome send = SendOutcome::NotRun;
};

class Transfer {
public:
    explicit Transfer(Platform& platform) : m_platform(platform) {}

    // One tick. `probe` runs after the message drain: it refreshes the
    // lights and returns the Logvex window, which receives this tick's
    // messages. A tick entered while another runs (from a drain or from the
    // modal loop of a box) does nothing.
    TickOutcome RunTick(QsoRecord& record, const std::string& logPath, std::uint8_t& noFreq,
                        const std::function<WindowRef()>& probe);

    // At start-up, once per process (a later call does nothing). At the
    // bridge's first start in a folder, a log there holds old history and is
    // moved aside to `bakPath` unless a backup exists. The outbox folder,
    // made then, marks that the bridge has run there: at every later start a
    // log found was written while it was not running, and is sent. WSJT-X
    // reads its log at its own start without letting it be moved: then the
    // move is tried again at every tick, in silence. Until it is done, or the
    // log is gone, no tick takes the log; another failure is reported once
    // and the log left alone till the user acts.
    void StartUp(const std::string& logPath, const std::string& bakPath);
    bool StartUpPending() const { return m_startUpBackup.has_value(); }

    // The result of a send that was left in flight. A delivery is recorded
    // at once; then, unless a tick is running, the sending goes on.
    SendOutcome SendFinished(SendStatus status, QsoRecord& record, std::uint8_t& noFreq);

    bool IsRunning() const { return m_bRunning; }
    bool SendInFlight() const { return m_inFlight.has_value(); }

private:
    struct Paths {
        std::string log, outbox, legacy;
        PathParts outboxParts;
    };
    struct ContactAt;

    static Paths PathsFor(const std::string& logPath);
    bool Exists(const std::string& path);
    MoveStatus TryMoveOldLogAside(const Paths& paths);
    void MarkFolder(const Paths& paths);
    bool EnsureOutbox(const Paths& paths, std::string& reason);
    void AdoptLegacy(const Paths& paths);
    TakeOutcome TakeStep(const Paths& paths);
    SendOutcome SendStep(const Paths& paths, WindowRef receiver, QsoRecord& record,
                         std::uint8_t& noFreq);
    ContactAt ReadContactAt(const std::string& path, const OutboxEntry& entry, QsoRecord& record,
                            std::uint8_t& noFreq);
    void RecordDelivery(const Paths& paths, const OutboxEntry& entry, std::size_t total);
    void SetAside(const OutboxEntry& entry, const std::string& text);
    bool IsSetAside(std::uint64_t arrival) const;
    bool IsRemoved(std::uint64_t arrival) const;
    void ForgetRemovedNotListed(const std::vector<OutboxEntry>& listed);
    void Report(std::string& last, const std::string& text);

    Platform& m_platform;
    bool m_bRunning = false;
    bool m_bStopped = false;
    bool m_bLegacyChecked = false;
    bool m_bStartedUp = false;
    std::optional<std::string> m_startUpBackup; // set while the start-up move waits
    std::optional<std::uint64_t> m_nextArrival; // unknown until the outbox is listed
    std::vector<std::uint64_t> m_setAside;      // bad files, left for the next start
    // Files removed, which Windows may still list while another program
    // has them open ("delete pending"): gone all the same.
    std::vector<std::uint64_t> m_removed;

    struct InFlightSend {
        Paths paths;
        OutboxEntry entry;
        std::size_t total = 0;
        WindowRef receiver = 0;
    };
    std::optional<InFlightSend> m_inFlight;

    std::string m_lastTakeReport; // the box last shown for each kind of
    std::string m_lastSendReport; // failure, so one every tick never stacks
};

} // namespace plovik
