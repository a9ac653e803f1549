#pragma once
// The call for attention on the taskbar: Windows' own sign for "this
// program needs you". The main window's button and caption flash until the
// window comes to the front, and stop when the call ends first.

#include <windows.h>

#include <cstddef>

class TaskbarCall {
public:
    // Follows the transfer's calls: `calls` made since the start, and
    // whether one is on. True when a call has just begun.
    bool Follow(HWND frame, std::size_t calls, bool calling);

private:
    std::size_t m_calls = 0;
    bool m_bFlashing = false;
};
