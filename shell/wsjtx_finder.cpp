#include "wsjtx_finder.h"

#include "wide.h"
#include "wsjtx_window.h"

#include <algorithm>
#include <string_view>

namespace {

std::string Utf8(const wchar_t* text, int length)
{
    return plovik::win32::Narrow(
        std::wstring_view(text, length > 0 ? static_cast<std::size_t>(length) : 0));
}

// A plain function: 32-bit Windows wants a stdcall callback.
BOOL CALLBACK AddWindow(HWND window, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

bool IsKnown(const std::vector<HWND>& sorted, HWND window)
{
    return std::binary_search(sorted.begin(), sorted.end(), window);
}

} // namespace

HWND WsjtxFinder::Find()
{
    std::vector<HWND> windows;
    windows.reserve(m_known.size() + 8);
    // The current desktop's top-level windows, as EnumWindows gives them; Wine's
    // EnumWindows also asks the server about each before the callback.
    ::EnumDesktopWindows(nullptr, AddWindow, reinterpret_cast<LPARAM>(&windows));
    std::sort(windows.begin(), windows.end());
    // A window's class never changes: asked once, when it is new.
    m_qt.erase(std::remove_if(m_qt.begin(), m_qt.end(),
                              [&](const auto& qt) { return !IsKnown(windows, qt.first); }),
               m_qt.end());
    for (HWND window : windows) {
        if (IsKnown(m_known, window))
            continue;
        wchar_t windowClass[256];
        std::string className = Utf8(windowClass, ::GetClassNameW(window, windowClass, 256));
        if (plovik::IsQtMainWindowClass(className))
            m_qt.emplace_back(window, std::move(className));
    }
    m_known = std::move(windows);
    for (const auto& [window, className] : m_qt) {
        // Another process's title is read without a message to it, so a
        // hung WSJT-X cannot hold up the light.
        wchar_t title[64];
        if (plovik::IsWsjtxWindow(className, Utf8(title, ::GetWindowTextW(window, title, 64))))
            return window;
    }
    return nullptr;
}
