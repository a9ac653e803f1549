#include "transfer.h"

#include "logger_message.h"

namespace plovik {

namespace {

// Sets a flag for the lifetime of the scope.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~ScopedFlag() { m_flag = false; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& m_flag;
};

} // namespace

Transfer::Transfer(Files& files, WindowSide& window, QsoRecord& record, std::uint8_t& noFreq,
                   const FolderPaths& paths)
    : m_window(window), m_record(record), m_noFreq(noFreq), m_reports(window),
      m_outbox(files, window, m_reports, paths.outbox, paths.separator),
      m_take(files, window, m_reports, m_outbox, paths)
{
}

TickOutcome Transfer::RunTick(const std::function<WindowRef()>& probe)
{
    TickOutcome outcome;
    if (m_bRunning) {
        outcome.status = TickStatus::Skipped;
        return outcome;
    }
    ScopedFlag running(m_bRunning);
    m_bStopped = false;

    if (!m_window.DrainMessages()) {
        outcome.status = TickStatus::Stopped;
        return outcome;
    }
    const WindowRef logvex = probe();
    // WSJT-X's file goes first: it must never wait behind a slow Logvex.
    outcome.take = m_take.Step();
    if (logvex == 0)
        outcome.send = SendOutcome::NoReceiver;
    else if (m_inFlight)
        outcome.send = SendOutcome::InFlight;
    else
        outcome.send = SendStep(logvex);
    if (m_bStopped)
        outcome.status = TickStatus::Stopped;
    return outcome;
}

SendOutcome Transfer::SendFinished(SendStatus status)
{
    if (!m_inFlight)
        return SendOutcome::NotRun;
    const InFlightSend done = std::move(*m_inFlight);
    m_inFlight.reset();
    switch (status) {
    case SendStatus::Delivered:
        m_outbox.RecordDelivery(done.contact);
        break;
    case SendStatus::Refused:
        m_reports.Report(Reports::Topic::Send, kRefusedText);
        return SendOutcome::Refused;
    default:
        return SendOutcome::Held;
    }
    // A tick under way (this came from one of its drains) sends the rest.
    if (m_bRunning)
        return SendOutcome::Sent;
    ScopedFlag running(m_bRunning);
    m_bStopped = false;
    return SendStep(done.receiver);
}

SendOutcome Transfer::SendStep(WindowRef receiver)
{
    bool sentAny = false;
    for (;;) {
        Outbox::Contact contact;
        switch (m_outbox.ReadNext(contact)) {
        case Outbox::Next::Ready:
            break;
        case Outbox::Next::Idle:
            return sentAny ? SendOutcome::Sent : SendOutcome::Idle;
        case Outbox::Next::Held:
            return SendOutcome::Held;
        case Outbox::Next::Stopped:
            m_bStopped = true;
            return SendOutcome::Held;
        }
        // The message is built just before it goes, with the check box as
        // it is then.
        std::string message = contact.message;
        if (!contact.ready) {
            m_record = contact.record;
            message = BuildLoggerMessage(m_record, m_noFreq, m_window);
        }
        const SendStatus status = SendLoggerMessage(receiver, message, m_window);
        switch (status) {
        case SendStatus::Delivered:
            m_reports.Clear(Reports::Topic::Send);
            m_outbox.RecordDelivery(contact);
            sentAny = true;
            break;
        case SendStatus::InFlight:
            m_inFlight = InFlightSend{std::move(contact), receiver};
            return SendOutcome::InFlight;
        case SendStatus::Refused:
            m_reports.Report(Reports::Topic::Send, kRefusedText);
            return SendOutcome::Refused;
        case SendStatus::ReceiverGone:
        case SendStatus::NotDelivered:
            return SendOutcome::Held;
        }
        // Between two sends the window answers, and a close stops the
        // sending; what is left waits in the outbox.
        if (!m_window.DrainMessages()) {
            m_bStopped = true;
            return SendOutcome::Held;
        }
    }
}

} // namespace plovik
