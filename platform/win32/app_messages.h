#pragma once
// The program's own window messages, posted by the platform to the view.

#include <windows.h>

namespace plovik::win32 {

// A send finished on the sender thread: only a wake-up, the result itself
// waits in the sender thread's slot.
constexpr UINT WM_APP_SEND_DONE = WM_APP + 1;
// Boxes wait to be shown, outside the work that reported them.
constexpr UINT WM_APP_SHOW_BOXES = WM_APP + 2;

} // namespace plovik::win32
