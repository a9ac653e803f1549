#include "status_light.h"

#include "wide.h"

void StatusLight::Show(bool running)
{
    SetBitmap(running ? m_pictures.on.get() : m_pictures.off.get());
    if (m_named && running == m_running)
        return;
    m_named = true;
    m_running = running;
    // A picture control takes a text it is sent for the name of a picture
    // resource, and keeps none; the default handling keeps it as the window
    // text, which is what screen readers read for the control.
    const std::wstring name =
        plovik::win32::Widen(m_program + (running ? ": running" : ": not running"));
    ::DefWindowProcW(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    m_regions.Announce(m_hWnd);
}

void StatusLine::Show(const std::string& text, const std::string& gist, bool announce)
{
    announce = announce || !m_shown || gist != m_gist;
    if (m_shown && text == m_text && !announce)
        return;
    if (!m_shown || text != m_text)
        ::SetWindowTextW(m_hWnd, plovik::win32::Widen(text).c_str());
    m_shown = true;
    m_text = text;
    m_gist = gist;
    if (announce)
        m_regions.Announce(m_hWnd);
}
