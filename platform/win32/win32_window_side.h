#pragma once
// The engine's window side inside the Windows program: the drain, the
// boxes, the check box, and the send through the sender thread.

#include "sender_thread.h"
#include "window_side.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace plovik::win32 {

class Win32WindowSide : public WindowSide {
public:
    explicit Win32WindowSide(std::string appTitle) : m_appTitle(std::move(appTitle)) {}

    void SetMainWindow(HWND window) { m_hMainWnd = window; }
    void SetCheckBox(HWND checkBox) { m_hCheckBox = checkBox; }
    // Starts the sender thread, and from now on boxes are shown later: both
    // report to `view` with the messages of app_messages.h. Sends go only
    // through that thread, never from the window's.
    void SetView(HWND view);
    // From now on drains report shutdown, so running work stops early, and
    // no new send starts.
    void RequestStop() { m_bStopping = true; }
    bool StopRequested() const { return m_bStopping; }
    // Shows the boxes reported so far, one at a time (WM_APP_SHOW_BOXES).
    void ShowWaitingBoxes();
    // The result of the send in flight once it has ended, once.
    std::optional<SendStatus> TakeSendResult() { return m_sender.TakeResult(); }

    bool DrainMessages() override;
    void ShowMessageBox(const std::string& text) override;
    CheckState GetNoFreqCheck() override;
    SendStatus SendCopyData(WindowRef receiver, unsigned long kind,
                            const std::string& data) override;
    bool BoxPending(const std::string& text) const override;

private:
    std::string m_appTitle;
    HWND m_hMainWnd = nullptr;
    HWND m_hCheckBox = nullptr;
    HWND m_hView = nullptr;
    bool m_bStopping = false;
    MSG m_msg{};
    std::vector<std::string> m_boxesWaiting;
    std::vector<std::string> m_boxesUp; // shown now, innermost last
    std::string m_senderFailure;        // why the sender thread is not running
    bool m_bSenderFailureShown = false;
    SenderThread m_sender;
};

} // namespace plovik::win32
