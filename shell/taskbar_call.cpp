#include "taskbar_call.h"

namespace {

void Flash(HWND frame, DWORD flags)
{
    FLASHWINFO info{};
    info.cbSize = sizeof info;
    info.hwnd = frame;
    info.dwFlags = flags;
    // The returned value is the window's state before, not a failure.
    ::FlashWindowEx(&info);
}

} // namespace

bool TaskbarCall::Follow(HWND frame, std::size_t calls, bool calling)
{
    const bool begun = calls > m_calls;
    m_calls = calls;
    // An operator already looking at the bridge needs no flashing button.
    if (begun && calling && ::GetForegroundWindow() != frame) {
        Flash(frame, FLASHW_ALL | FLASHW_TIMERNOFG);
        m_bFlashing = true;
    } else if (!calling && m_bFlashing) {
        // Logvex took the contacts before the operator came.
        Flash(frame, FLASHW_STOP);
        m_bFlashing = false;
    }
    return begun && calling;
}
