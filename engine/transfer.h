#pragma once
// The transfer step that every tick of the bridge runs. It takes WSJT-X's
// log file into the outbox at once, whether Logvex is there or not, and
// sends the outbox to Logvex oldest first, one contact at a time, recording
// each delivery on disk before the next send. So a contact is on disk at
// every instant until Logvex has handled it, and a crash at any moment
// loses none; at most the one contact Logvex had just handled, not yet
// recorded, is sent again.

#include "attention_call.h"
#include "files.h"
#include "late_contacts.h"
#include "outbox.h"
#include "progress.h"
#include "qso_record.h"
#include "reports.h"
#include "sent_record.h"
#include "take.h"
#include "window_side.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
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
    // `record` is the contact being sent and `noFreq` the frequency flag as
    // the check box last gave it; both stay the caller's.
    Transfer(Files& files, WindowSide& window, QsoRecord& record, std::uint8_t& noFreq);
    // The same, with one folder watched.
    Transfer(Files& files, WindowSide& window, QsoRecord& record, std::uint8_t& noFreq,
             const FolderPaths& paths);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // Watches one WSJT-X folder from now on (once; a later call for the
    // same log does nothing). Before StartUp the start-up rule will run on
    // it; after, it counts as a folder that appeared while the bridge runs.
    void Watch(const FolderPaths& paths);
    // Watches every WSJT-X and JTDX instance folder directly in `root`: those
    // there now, and those that have appeared since, looked for at a tick.
    void WatchInstancesIn(const std::string& root, char separator);
    // When a tick looks for new instance folders: whenever `due` says so
    // (the roots' change notification fired, or a slow backstop where none
    // can be had), and at the next tick after a root could not be read.
    // Without it, at every tick.
    void LookForInstancesWhen(std::function<bool()> due) { m_instancesDue = std::move(due); }
    // The folders watched, in the order they were found.
    std::size_t FolderCount() const { return m_folders.size(); }
    const std::string& FolderName(std::size_t index) const;
    std::vector<std::string> Folders() const;

    // One tick. `probe` runs after the message drain: it refreshes the
    // lights and returns the Logvex window, which receives this tick's
    // messages. A tick entered while another runs (from a drain or from the
    // modal loop of a box) does nothing.
    TickOutcome RunTick(const std::function<WindowRef()>& probe);

    // At start-up, once per process (a later call does nothing), for every
    // folder watched by then; see Take::StartUp.
    void StartUp();
    bool StartUpPending() const;

    // The result of a send that was left in flight. A delivery is recorded
    // at once; then, unless a tick is running, the sending goes on.
    SendOutcome SendFinished(SendStatus status);

    const Progress& GetProgress() const { return m_progress; }

    bool IsRunning() const { return m_bRunning; }
    bool SendInFlight() const { return m_inFlight.has_value(); }

private:
    struct Folder;

    // False when a root could not be read.
    bool LookForInstances();
    SendOutcome SendStep(WindowRef receiver);
    // What a send's result means for the sending, whether the send has just
    // returned or its result came later from SendFinished: nothing when it
    // was delivered and the sending goes on, else how the sending stops.
    std::optional<SendOutcome> Settle(SendStatus status, Folder& folder, Outbox::Contact& contact,
                                      WindowRef receiver);
    void Delivered(Folder& folder, const Outbox::Contact& contact);
    // Counts what waits, inside the tick's guard: the count may read a new
    // file, and no tick may change the outboxes meanwhile.
    void CountWaiting();
    // Names the contact in flight on the status line if it is late by now.
    void NoteInHands();
    // The end of the work of a tick or of a send's result: the count, and
    // the sending of the rest when a result arrived from a drain of it.
    SendOutcome FinishWork(SendOutcome outcome);
    // What a try to send showed of Logvex, for the call for attention.
    SendOutcome NoteSend(SendOutcome outcome);
    void UpdateCall();

    Files& m_files;
    WindowSide& m_window;
    QsoRecord& m_record;
    std::uint8_t& m_noFreq;
    Reports m_reports;
    LateContacts m_late{m_reports};
    AttentionCall m_call;
    std::optional<UtcSeconds> m_oldestWait; // at the last count
    std::vector<std::unique_ptr<Folder>> m_folders;
    std::vector<std::pair<std::string, char>> m_roots; // looked in for instance folders
    std::function<bool()> m_instancesDue;
    bool m_bLookAgain = false; // a root could not be read
    std::uint64_t m_takes = 0; // over every folder
    Progress m_progress;
    bool m_bStartedUp = false;
    bool m_bRunning = false;
    bool m_bStopped = false;

    struct InFlightSend {
        Folder* folder = nullptr;
        Outbox::Contact contact;
        WindowRef receiver = 0;
    };
    std::optional<InFlightSend> m_inFlight;
    // A delivery recorded from a drain of the running work: who gets the rest.
    std::optional<WindowRef> m_sendOnTo;
};

} // namespace plovik
