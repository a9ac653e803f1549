#pragma once
// Which top-level window is WSJT-X's main window. Portable string logic, so
// it is tested natively; the view walks the windows.

#include <string_view>

namespace plovik {

// Qt names the window classes it registers on Windows after its version:
// "Qt", then the major, minor and patch numbers run together, a "d" in a
// debug build, then "QWindow" and, for a window with an icon (a main
// window), "Icon": "Qt5152QWindowIcon" for Qt 5.15.2, "Qt6QWindowIcon" for
// a Qt 6 built so. Only old builds register the plain "Qt5QWindowIcon".
bool IsQtMainWindowClass(std::string_view windowClass);

// Every Qt program shares such a class: WSJT-X's window is the one whose
// title also begins with "WSJT-X" ("WSJT-X   v2.6.1   by K1JT et al.",
// "WSJT-X - IC7300 ..." for a second rig), JTDX's with "JTDX".
bool IsWsjtxWindow(std::string_view windowClass, std::string_view title);

} // namespace plovik
