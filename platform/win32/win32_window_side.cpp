#include "win32_window_side.h"

#include "app_messages.h"
#include "reports.h"
#include "wide.h"
#include "win_error.h"

#include <algorithm>
#include <utility>

namespace plovik::win32 {

bool Win32WindowSide::DrainMessages()
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

void Win32WindowSide::SetView(HWND view)
{
    m_hView = view;
    DWORD error = ERROR_SUCCESS;
    if (!m_sender.Start(view, error))
        m_senderFailure = ErrorText(error);
}

void Win32WindowSide::ShowMessageBox(const std::string& text)
{
    // One box per report at a time, whatever the ticks report meanwhile.
    if (BoxPending(text))
        return;
    m_boxesWaiting.push_back(text);
    // A box's own loop runs for as long as the user leaves it up: shown from
    // its own message, it holds up no tick and no transfer.
    if (!m_hView || !::PostMessageA(m_hView, WM_APP_SHOW_BOXES, 0, 0))
        ShowWaitingBoxes();
}

void Win32WindowSide::ShowWaitingBoxes()
{
    while (!m_boxesWaiting.empty()) {
        const std::string text = m_boxesWaiting.front();
        m_boxesWaiting.erase(m_boxesWaiting.begin());
        m_boxesUp.push_back(text);
        ::MessageBoxW(m_hMainWnd, Widen(text).c_str(), Widen(m_appTitle).c_str(), MB_OK);
        m_boxesUp.erase(std::find(m_boxesUp.begin(), m_boxesUp.end(), text));
    }
}

bool Win32WindowSide::BoxPending(const std::string& text) const
{
    const auto in = [&](const std::vector<std::string>& texts) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    return in(m_boxesWaiting) || in(m_boxesUp);
}

CheckState Win32WindowSide::GetNoFreqCheck()
{
    return static_cast<CheckState>(::SendMessageA(m_hCheckBox, BM_GETCHECK, 0, 0));
}

SendStatus Win32WindowSide::SendCopyData(WindowRef receiver, unsigned long kind,
                                         const std::string& data)
{
    // A close under way: what is not yet sent waits in the outbox.
    if (m_bStopping)
        return SendStatus::NotDelivered;
    switch (m_sender.Send(reinterpret_cast<HWND>(receiver), m_hMainWnd, kind, data)) {
    case SenderThread::Taken::Yes:
        return SendStatus::InFlight;
    case SenderThread::Taken::Busy:
        return SendStatus::NotDelivered; // one send at a time; the engine never asks for two
    case SenderThread::Taken::NotRunning:
        break;
    }
    // Never sent from the window's thread, which must go on answering: the
    // contacts wait, and the user learns why, once.
    if (!std::exchange(m_bSenderFailureShown, true))
        ShowMessageBox(SenderFailureText(m_senderFailure));
    return SendStatus::NotDelivered;
}

} // namespace plovik::win32
