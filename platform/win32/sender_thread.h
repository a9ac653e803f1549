#pragma once
// The one thread that hands contacts to Logvex. SendMessageTimeout blocks
// for as long as Logvex handles the message (a prompt to its user may take
// hours), so the window's thread never makes the call: it gives the sender
// one send at a time and collects the result later, and so keeps answering.

#include "unique_handle.h"
#include "window_side.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace plovik::win32 {

class SenderThread {
public:
    SenderThread() = default;
    // Never waits on a send under way: that send may never end. The thread
    // is left to the end of the process, and owns what it still uses.
    ~SenderThread();
    SenderThread(const SenderThread&) = delete;
    SenderThread& operator=(const SenderThread&) = delete;

    // Starts the thread; each result is announced by a WM_APP_SEND_DONE
    // posted to `notify`. False, with the system's error, if it could not.
    bool Start(HWND notify, DWORD& error);
    bool Started() const { return static_cast<bool>(m_thread); }

    // Whether Send took the job, and if not, why (nothing was sent).
    enum class Taken {
        Yes,
        Busy,       // the send before is still outstanding (its result not taken yet)
        NotRunning, // the thread never started, or has ended
    };
    // Hands one send to the thread.
    Taken Send(HWND target, HWND sender, unsigned long kind, const std::string& data);
    // The result of the outstanding send once it has ended, once. The
    // posted wake-up may be lost (a full queue, a window being destroyed),
    // so the caller also looks here now and then.
    std::optional<SendStatus> TakeResult();

private:
    struct Shared;
    static DWORD WINAPI Run(void* parameter);

    std::shared_ptr<Shared> m_shared;
    UniqueKernelHandle m_thread;
    // From a taken job until its result has been taken.
    bool m_bOutstanding = false;
};

// The send itself, on the calling thread: SendMessageTimeoutA with
// WM_COPYDATA, waiting for as long as the receiver lives.
SendStatus SendCopyDataNow(HWND target, HWND sender, unsigned long kind, const std::string& data);

} // namespace plovik::win32
