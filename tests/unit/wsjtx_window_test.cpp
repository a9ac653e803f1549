// Which window is WSJT-X's: Qt's versioned class names, and the title.

#include "wsjtx_window.h"

#include <gtest/gtest.h>

#include <string>

namespace plovik {
namespace {

TEST(WsjtxWindow, QtMainWindowClassNames)
{
    struct Case {
        const char* windowClass;
        bool isMainWindow;
    };
    const Case cases[] = {
        {"Qt5QWindowIcon", true},
        {"Qt5152QWindowIcon", true},  // Qt 5.15.2
        {"Qt5152dQWindowIcon", true}, // its debug build
        {"Qt6QWindowIcon", true},
        {"Qt680QWindowIcon", true}, // Qt 6.8.0
        {"QtQWindowIcon", false},   // no version
        {"QtdQWindowIcon", false},
        {"Qt5152ddQWindowIcon", false},
        {"Qt5.15.2QWindowIcon", false},
        {"Qt5152QWindow", false}, // a dialog without a system menu
        {"Qt5152QWindowToolSaveBits", false},
        {"Qt5152QWindowPopupDropShadowSaveBits", false},
        {"Qt5152QWindowIconX", false},
        {"XQt5152QWindowIcon", false},
        {"qt5152qwindowicon", false},
        {"Qt5152ClipboardView", false},
        {"QWindowIcon", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsQtMainWindowClass(c.windowClass), c.isMainWindow) << c.windowClass;
}

TEST(WsjtxWindow, TheTitleMustNameWsjtxOrJtdx)
{
    struct Case {
        const char* title;
        bool isWsjtx;
    };
    const Case cases[] = {
        {"WSJT-X   v2.6.1   by K1JT et al.", true},
        {"WSJT-X   v2.7.0-rc5   by K1JT et al.", true},
        {"WSJT-X - Wide Graph", true},
        {"WSJT-X", true},
        {"WSJT-X - IC7300   v2.6.1   by K1JT et al.", true},
        {"JTDX  by HF community  v2.2.159", true},
        {"JTDX - FT991  by HF community  v2.2.159", true},
        {"jtdx", false},
        {"Qt Creator", false},
        {"VLC media player", false},
        {"wsjt-x   v2.6.1", false},
        {" WSJT-X   v2.6.1", false},
        {"WSJT", false},
        {"", false},
    };
    for (const char* windowClass : {"Qt5152QWindowIcon", "Qt6QWindowIcon", "Qt5QWindowIcon"})
        for (const Case& c : cases)
            EXPECT_EQ(IsWsjtxWindow(windowClass, c.title), c.isWsjtx)
                << windowClass << " \"" << c.title << "\"";
    // The right title on another kind of window is not enough.
    EXPECT_FALSE(IsWsjtxWindow("Qt5152QWindowToolSaveBits", "WSJT-X   v2.6.1   by K1JT et al."));
    EXPECT_FALSE(IsWsjtxWindow("Notepad", "WSJT-X   v2.6.1   by K1JT et al."));
}

} // namespace
} // namespace plovik
