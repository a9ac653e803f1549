#pragma once
// Finds WSJT-X's (or JTDX's) main window among the top-level windows, once
// a second, without asking every window for its class each time: only
// windows new since the last look are asked, and only those of a Qt main
// window's class are kept, to have their titles read (the title may come
// after the window).

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class WsjtxFinder {
public:
    // The main window, or none.
    HWND Find();

private:
    std::vector<HWND> m_known; // the top-level windows at the last look, sorted
    // Of those, the ones of a Qt main window's class, with the class.
    std::vector<std::pair<HWND, std::string>> m_qt;
};
