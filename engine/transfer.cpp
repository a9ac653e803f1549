#include "transfer.h"

#include "log_reader.h"
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

std::string ReadFailureText(const std::string& path, const std::string& reason)
{
    return "Cannot read the WSJT-X log file\n" + path + "\n\n" + reason;
}

std::string DeleteFailureText(const std::string& path, const std::string& reason)
{
    return "The WSJT-X log file was read but cannot be deleted, so its contact is not sent "
           "yet. It will be sent once the file can be deleted.\n" +
           path + "\n\n" + reason;
}

} // namespace

TickOutcome Transfer::RunTick(QsoRecord& record, const std::string& logPath,
                              std::uint8_t& m_nNoFreq, const std::function<WindowRef()>& probe)
{
    if (m_bRunning)
        return TickOutcome::Skipped;
    ScopedFlag running(m_bRunning);

    if (!m_platform.DrainMessages())
        return TickOutcome::Stopped;
    const WindowRef logvex = probe();
    // Without a receiver the contact stays in its file until Logvex is back.
    if (logvex == 0)
        return TickOutcome::NoReceiver;

    // Contacts already taken from their file go first, before any new one.
    if (!m_pending.empty()) {
        const TickOutcome sent = SendPending(logvex);
        if (sent != TickOutcome::Sent)
            return sent;
    }

    // Built as the file is read, but kept only once the file is gone: a
    // file that stays is read again whole.
    std::deque<std::string> fromFile;
    const ReadResult read = ReadLogFile(record, logPath, m_platform, [&](QsoRecord& contact) {
        fromFile.push_back(BuildLoggerMessage(contact, m_nNoFreq, m_platform));
    });
    switch (read.outcome) {
    case ReadOutcome::ReadAndDeleted:
        m_lastReport.clear();
        m_pending = std::move(fromFile);
        return SendPending(logvex);
    case ReadOutcome::Empty:
        m_lastReport.clear();
        return TickOutcome::Empty;
    case ReadOutcome::Vanished:
        m_lastReport.clear();
        return TickOutcome::NoFile;
    case ReadOutcome::InUse:
        return TickOutcome::InUse;
    case ReadOutcome::NotDeleted:
        ReportOnce(DeleteFailureText(logPath, read.reason));
        return TickOutcome::Failed;
    case ReadOutcome::Failed:
        ReportOnce(ReadFailureText(logPath, read.reason));
        return TickOutcome::Failed;
    case ReadOutcome::Interrupted:
        return TickOutcome::Stopped;
    }
    return TickOutcome::Failed;
}

void Transfer::Restore(std::deque<std::string> messages)
{
    messages.insert(messages.end(), m_pending.begin(), m_pending.end());
    m_pending = std::move(messages);
}

TickOutcome Transfer::SendPending(WindowRef receiver)
{
    bool first = true;
    while (!m_pending.empty()) {
        // Between two sends the window answers, and a close stops the
        // sending; what is left stays held.
        if (!first && !m_platform.DrainMessages())
            return TickOutcome::Stopped;
        first = false;
        if (SendLoggerMessage(receiver, m_pending.front(), m_platform) != SendStatus::Delivered)
            return TickOutcome::Held;
        m_pending.pop_front();
    }
    return TickOutcome::Sent;
}

void Transfer::ReportOnce(const std::string& text)
{
    // The same failure every second must not stack up boxes.
    if (text == m_lastReport)
        return;
    m_lastReport = text;
    m_platform.ShowMessageBox(text);
}

} // namespace plovik
