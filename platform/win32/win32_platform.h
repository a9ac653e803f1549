#pragma once
// The engine's platform inside the Windows program.

#include "platform.h"

#include <windows.h>

#include <string>
#include <vector>

namespace plovik::win32 {

class Win32Platform : public Platform {
public:
    explicit Win32Platform(std::string appTitle) : m_appTitle(std::move(appTitle)) {}

    void SetMainWindow(HWND window) { m_hMainWnd = window; }
    void SetCheckBox(HWND checkBox) { m_hCheckBox = checkBox; }
    // From now on sends run on a thread of their own and boxes are shown
    // later: both report to `view` with the messages of app_messages.h.
    void SetView(HWND view) { m_hView = view; }
    // From now on drains report shutdown, so running work stops early.
    void RequestStop() { m_bStopping = true; }
    bool StopRequested() const { return m_bStopping; }
    // Shows the boxes reported so far, one at a time (WM_APP_SHOW_BOXES).
    void ShowWaitingBoxes();
    // True when a WM_APP_SEND_DONE (its lParam) is the result of the send
    // in flight, which then has ended; false for a stale one.
    bool TakeSendResult(LPARAM serial);
    // True, once, when the send in flight has had no result long past its
    // time-out: it is given up, so the sending does not stop for good.
    bool GiveUpOverdueSend();

    OpenResult OpenLogFile(const std::string& path) override;
    OpenResult OpenOutboxFile(const std::string& path) override;
    bool MakeFolder(const std::string& folder, std::string& reason) override;
    FolderListing ListFolder(const std::string& folder) override;
    bool RenameFile(const std::string& from, const std::string& to, std::string& reason) override;
    bool RemoveFile(const std::string& path, std::string& reason) override;
    MoveStatus MoveLogAside(const std::string& from, const std::string& to,
                            std::string& reason) override;
    bool DrainMessages() override;
    void ShowMessageBox(const std::string& text) override;
    CheckState GetNoFreqCheck() override;
    SendStatus SendCopyData(WindowRef receiver, unsigned long kind,
                            const std::string& data) override;

private:
    std::string m_appTitle;
    HWND m_hMainWnd = nullptr;
    HWND m_hCheckBox = nullptr;
    HWND m_hView = nullptr;
    bool m_bStopping = false;
    bool m_bSendInFlight = false;
    LPARAM m_sendSerial = 0;
    DWORD m_sendStarted = 0;
    MSG m_msg{};
    std::vector<std::string> m_boxesWaiting;
    std::vector<std::string> m_boxesUp; // shown now, innermost last
};

} // namespace plovik::win32
