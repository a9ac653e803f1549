#include "sender_thread.h"

#include "app_messages.h"
#include "send_verdict.h"

#include <utility>

namespace plovik::win32 {

namespace {

// No time-out while Logvex lives. SMTO_NOTIMEOUTIFNOTHUNG lets Windows wait
// as long as Logvex goes on handling messages (a "log this duplicate?"
// prompt inside its handler waits for its user), but Wine ignores that
// flag, and a Logvex that stops answering inside our message is "hung" to
// Windows too: then the limit itself applies, so it is days, not minutes. A
// send given up while Logvex still holds the message would be sent again
// and logged twice. Wine reads the limit as a signed number (above 2^31 ms
// it gives up at once) and Windows NT has no INFINITE here: one week.
// No SMTO_ABORTIFHUNG: when Windows gives up a message still queued for a
// Logvex that turns "hung" while it waits is not documented, and a message
// given up so is never delivered. A hung Logvex is asked about first.
constexpr UINT kSendLimitMs = 7u * 24 * 60 * 60 * 1000;
// A receiver's thread that ended during the send may still be being torn
// down when the send returns: given this long to be seen gone.
constexpr DWORD kEndSettleMs = 250;
// An idle thread ends as soon as it is told to.
constexpr DWORD kIdleEndMs = 2000;

// The result slot the two threads share, held exclusively while in use.
class SlotLock {
public:
    explicit SlotLock(SRWLOCK& lock) : m_lock(lock) { ::AcquireSRWLockExclusive(&m_lock); }
    ~SlotLock() { ::ReleaseSRWLockExclusive(&m_lock); }
    SlotLock(const SlotLock&) = delete;
    SlotLock& operator=(const SlotLock&) = delete;

private:
    SRWLOCK& m_lock;
};

bool ThreadEnded(const UniqueKernelHandle& receiverThread)
{
    return receiverThread &&
           ::WaitForSingleObject(receiverThread.get(), kEndSettleMs) == WAIT_OBJECT_0;
}

static_assert(ERROR_ACCESS_DENIED == kErrorAccessDenied && ERROR_TIMEOUT == kErrorTimeout);

} // namespace

// What the thread and its owner share; whichever lets go last frees it, so
// a thread stuck in a send at shutdown never touches freed memory.
struct SenderThread::Shared {
    struct Job {
        HWND target;
        HWND sender;
        unsigned long kind;
        std::string data;
    };

    SRWLOCK lock = SRWLOCK_INIT;
    UniqueKernelHandle work{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    UniqueKernelHandle end{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HWND notify = nullptr;
    // Under the lock:
    std::optional<Job> job;
    std::optional<SendStatus> result;
    bool ended = false;
};

SendStatus SendCopyDataNow(HWND target, HWND sender, unsigned long kind, const std::string& data)
{
    const DWORD threadId = ::GetWindowThreadProcessId(target, nullptr);
    if (threadId == 0)
        return SendStatus::ReceiverGone;
    // To tell a receiver that ended during the send; a Logvex with higher
    // rights may not let us open it, and then its window alone tells.
    const UniqueKernelHandle receiverThread(::OpenThread(SYNCHRONIZE, FALSE, threadId));
    COPYDATASTRUCT packet{};
    packet.dwData = kind;
    packet.cbData = static_cast<DWORD>(data.size());
    packet.lpData = const_cast<char*>(data.data());
    SendSeen seen;
    // Windows answers at once from what it knows of Logvex's queue; Wine
    // asks Logvex, waiting up to five seconds, which is why it is asked here
    // and not on the window's thread.
    seen.hung = ::IsHungAppWindow(target) != FALSE;
    if (seen.hung)
        return SendVerdict(seen);
    DWORD_PTR handled = 0;
    // The call does not set the last error on every failure.
    ::SetLastError(ERROR_SUCCESS);
    // SMTO_ERRORONEXIT: without it a receiver that crashes or is ended from
    // Task Manager inside our message counts as a success, and the contact
    // would be lost.
    const LRESULT sent = ::SendMessageTimeoutA(
        target, WM_COPYDATA, reinterpret_cast<WPARAM>(sender), reinterpret_cast<LPARAM>(&packet),
        SMTO_NOTIMEOUTIFNOTHUNG | SMTO_ERRORONEXIT, kSendLimitMs, &handled);
    seen.lastError = ::GetLastError();
    seen.sent = sent != 0;
    if (!seen.sent) {
        seen.windowThere = ::IsWindow(target) != FALSE;
        seen.threadThere = seen.windowThere && !ThreadEnded(receiverThread);
    }
    return SendVerdict(seen);
}

SenderThread::~SenderThread()
{
    if (!m_thread)
        return;
    ::SetEvent(m_shared->end.get());
    if (!m_bOutstanding)
        ::WaitForSingleObject(m_thread.get(), kIdleEndMs);
}

bool SenderThread::Start(HWND notify, DWORD& error)
{
    if (m_thread)
        return true;
    auto shared = std::make_shared<Shared>();
    if (!shared->work || !shared->end) {
        error = ::GetLastError();
        return false;
    }
    shared->notify = notify;
    auto handOver = std::make_unique<std::shared_ptr<Shared>>(shared);
    m_thread.reset(::CreateThread(nullptr, 0, Run, handOver.get(), 0, nullptr));
    if (!m_thread) {
        error = ::GetLastError();
        return false;
    }
    static_cast<void>(handOver.release()); // the thread owns it now
    m_shared = std::move(shared);
    return true;
}

SenderThread::Taken SenderThread::Send(HWND target, HWND sender, unsigned long kind,
                                       const std::string& data)
{
    if (!m_thread)
        return Taken::NotRunning;
    if (m_bOutstanding)
        return Taken::Busy;
    {
        const SlotLock lock(m_shared->lock);
        if (m_shared->ended)
            return Taken::NotRunning;
        m_shared->job = Shared::Job{target, sender, kind, data};
    }
    m_bOutstanding = ::SetEvent(m_shared->work.get()) != FALSE;
    if (!m_bOutstanding) {
        const SlotLock lock(m_shared->lock);
        m_shared->job.reset();
        return Taken::NotRunning;
    }
    return Taken::Yes;
}

std::optional<SendStatus> SenderThread::TakeResult()
{
    if (!m_bOutstanding)
        return std::nullopt;
    std::optional<SendStatus> result;
    {
        const SlotLock lock(m_shared->lock);
        result = std::exchange(m_shared->result, std::nullopt);
    }
    if (result)
        m_bOutstanding = false;
    return result;
}

DWORD WINAPI SenderThread::Run(void* parameter)
{
    const std::unique_ptr<std::shared_ptr<Shared>> owned(
        static_cast<std::shared_ptr<Shared>*>(parameter));
    Shared& shared = **owned;
    const HANDLE events[] = {shared.end.get(), shared.work.get()};
    for (;;) {
        const DWORD woken = ::WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (woken != WAIT_OBJECT_0 + 1) {
            const DWORD error = woken == WAIT_OBJECT_0 ? ERROR_SUCCESS : ::GetLastError();
            // A job given just now was not sent: it stays in the outbox,
            // and no send is taken any more.
            const SlotLock lock(shared.lock);
            shared.ended = true;
            if (shared.job) {
                shared.job.reset();
                shared.result = SendStatus::NotDelivered;
                ::PostMessageA(shared.notify, WM_APP_SEND_DONE, 0, 0);
            }
            return error;
        }
        Shared::Job job;
        {
            const SlotLock lock(shared.lock);
            if (!shared.job)
                continue;
            job = std::move(*shared.job);
            shared.job.reset();
        }
        const SendStatus status = SendCopyDataNow(job.target, job.sender, job.kind, job.data);
        {
            const SlotLock lock(shared.lock);
            shared.result = status;
        }
        // Only a wake-up: if it is lost, the view's next tick collects the
        // result all the same.
        ::PostMessageA(shared.notify, WM_APP_SEND_DONE, 0, 0);
    }
}

} // namespace plovik::win32
