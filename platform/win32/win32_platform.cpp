#include "win32_platform.h"

#include "app_messages.h"
#include "system_files.h"
#include "unique_handle.h"
#include "wide.h"

#include <algorithm>
#include <memory>

namespace plovik::win32 {

namespace {

// No time-out while Logvex still handles messages (a "log this duplicate?"
// prompt inside its handler may wait for the user for minutes: a send given
// up then would be sent again, and the prompt's loop would log it twice).
// Wine does not know SMTO_NOTIMEOUTIFNOTHUNG, and a Logvex that stops
// answering only after it took the message is not "hung" at the start: this
// long time-out is the backstop for both.
constexpr UINT kSendBackstopMs = 120000;
// A result that has not come this long after the backstop never will (its
// post was lost): the send is given up and its contact sent again.
constexpr DWORD kSendOverdueMs = kSendBackstopMs + 30000;

SendStatus SendNow(HWND target, HWND sender, unsigned long kind, const std::string& data)
{
    if (!::IsWindow(target))
        return SendStatus::ReceiverGone;
    COPYDATASTRUCT packet{};
    packet.dwData = kind;
    packet.cbData = static_cast<DWORD>(data.size());
    packet.lpData = const_cast<char*>(data.data());
    DWORD_PTR result = 0;
    // SMTO_ABORTIFHUNG: do not wait at all for a receiver Windows already
    // knows to be hung.
    if (::SendMessageTimeoutA(target, WM_COPYDATA, reinterpret_cast<WPARAM>(sender),
                              reinterpret_cast<LPARAM>(&packet),
                              SMTO_ABORTIFHUNG | SMTO_NOTIMEOUTIFNOTHUNG, kSendBackstopMs, &result))
        return SendStatus::Delivered;
    // User Interface Privilege Isolation: a Logvex with higher rights (run
    // as administrator) never gets a message from us.
    if (::GetLastError() == ERROR_ACCESS_DENIED)
        return SendStatus::Refused;
    return ::IsWindow(target) ? SendStatus::NotDelivered : SendStatus::ReceiverGone;
}

// One send, owned by the thread that makes it.
struct SendJob {
    HWND target;
    HWND sender;
    unsigned long kind;
    std::string data;
    HWND view;
    LPARAM serial;
};

DWORD WINAPI SendThread(void* parameter)
{
    const std::unique_ptr<SendJob> job(static_cast<SendJob*>(parameter));
    const SendStatus status = SendNow(job->target, job->sender, job->kind, job->data);
    // A view gone meanwhile (the bridge closing) takes no result: the
    // contact is still in the outbox.
    ::PostMessageA(job->view, WM_APP_SEND_DONE, static_cast<WPARAM>(status), job->serial);
    return 0;
}

} // namespace

OpenResult Win32Platform::OpenLogFile(const std::string& path)
{
    return OpenSystemLogFile(path, FileAccess::ReadAndHandOver);
}

OpenResult Win32Platform::OpenOutboxFile(const std::string& path)
{
    return OpenSystemLogFile(path, FileAccess::ReadOnly);
}

bool Win32Platform::MakeFolder(const std::string& folder, std::string& reason)
{
    return MakeSystemFolder(folder, reason);
}

FolderListing Win32Platform::ListFolder(const std::string& folder)
{
    return ListSystemFolder(folder);
}

bool Win32Platform::RenameFile(const std::string& from, const std::string& to, std::string& reason)
{
    return RenameSystemFile(from, to, reason);
}

bool Win32Platform::RemoveFile(const std::string& path, std::string& reason)
{
    return RemoveSystemFile(path, reason);
}

MoveStatus Win32Platform::MoveLogAside(const std::string& from, const std::string& to,
                                       std::string& reason)
{
    return MoveSystemFileAside(from, to, reason);
}

bool Win32Platform::DrainMessages()
{
    while (!m_bStopping && ::PeekMessageA(&m_msg, nullptr, 0, 0, PM_REMOVE)) {
        if (m_msg.message == WM_QUIT) {
            // Leave it for the main loop, which ends the program.
            ::PostQuitMessage(static_cast<int>(m_msg.wParam));
            m_bStopping = true;
            break;
        }
        ::TranslateMessage(&m_msg);
        ::DispatchMessageA(&m_msg);
    }
    return !m_bStopping;
}

bool Win32Platform::TakeSendResult(LPARAM serial)
{
    if (!m_bSendInFlight || serial != m_sendSerial)
        return false;
    m_bSendInFlight = false;
    return true;
}

bool Win32Platform::GiveUpOverdueSend()
{
    if (!m_bSendInFlight || ::GetTickCount() - m_sendStarted < kSendOverdueMs)
        return false;
    m_bSendInFlight = false;
    ++m_sendSerial; // its result, should it come after all, is stale
    return true;
}

void Win32Platform::ShowMessageBox(const std::string& text)
{
    // One box per report at a time, whatever the ticks report meanwhile.
    const auto known = [&](const std::vector<std::string>& texts) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    if (known(m_boxesWaiting) || known(m_boxesUp))
        return;
    m_boxesWaiting.push_back(text);
    // A box's own loop runs for as long as the user leaves it up: shown from
    // its own message, it holds up no tick and no transfer.
    if (!m_hView || !::PostMessageA(m_hView, WM_APP_SHOW_BOXES, 0, 0))
        ShowWaitingBoxes();
}

void Win32Platform::ShowWaitingBoxes()
{
    while (!m_boxesWaiting.empty()) {
        const std::string text = m_boxesWaiting.front();
        m_boxesWaiting.erase(m_boxesWaiting.begin());
        m_boxesUp.push_back(text);
        ::MessageBoxW(m_hMainWnd, Widen(text).c_str(), Widen(m_appTitle).c_str(), MB_OK);
        m_boxesUp.erase(std::find(m_boxesUp.begin(), m_boxesUp.end(), text));
    }
}

CheckState Win32Platform::GetNoFreqCheck()
{
    return static_cast<CheckState>(::SendMessageA(m_hCheckBox, BM_GETCHECK, 0, 0));
}

SendStatus Win32Platform::SendCopyData(WindowRef receiver, unsigned long kind,
                                       const std::string& data)
{
    const HWND target = reinterpret_cast<HWND>(receiver);
    if (m_hView) {
        // The one blocking call goes to a thread of its own, so the window
        // answers and ticks go on while Logvex takes its time.
        auto job = std::make_unique<SendJob>(
            SendJob{target, m_hMainWnd, kind, data, m_hView, m_sendSerial + 1});
        const UniqueKernelHandle thread(
            ::CreateThread(nullptr, 0, SendThread, job.get(), 0, nullptr));
        if (thread) {
            static_cast<void>(job.release()); // the thread owns it now
            ++m_sendSerial;
            m_bSendInFlight = true;
            m_sendStarted = ::GetTickCount();
            return SendStatus::InFlight;
        }
    }
    return SendNow(target, m_hMainWnd, kind, data);
}

} // namespace plovik::win32
