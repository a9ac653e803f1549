#pragma once
// Scope guards for the paired GDI calls: a window's device context taken
// and given back, a paint begun and ended, an object selected into a device
// context and the one it replaced put back.

#include <windows.h>

namespace plovik::win32 {

// GetDC and ReleaseDC; the screen's device context without a window.
class WindowDc {
public:
    explicit WindowDc(HWND window = nullptr) : m_window(window), m_dc(::GetDC(window)) {}
    ~WindowDc()
    {
        if (m_dc)
            ::ReleaseDC(m_window, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// BeginPaint and EndPaint, for a window's WM_PAINT.
class WindowPaint {
public:
    explicit WindowPaint(HWND window) : m_window(window), m_dc(::BeginPaint(window, &m_paint)) {}
    ~WindowPaint()
    {
        if (m_dc)
            ::EndPaint(m_window, &m_paint);
    }
    WindowPaint(const WindowPaint&) = delete;
    WindowPaint& operator=(const WindowPaint&) = delete;
    HDC get() const { return m_dc; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// An object (a font) selected into a device context; none selected for a
// null object.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_old(object ? ::SelectObject(dc, object) : nullptr)
    {
    }
    ~SelectedObject()
    {
        if (m_old)
            ::SelectObject(m_dc, m_old);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

} // namespace plovik::win32
