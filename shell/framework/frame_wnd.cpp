#include "frame_wnd.h"

#include "form_view.h"
#include "win_app.h"

#include <commctrl.h>

CFrameWnd::~CFrameWnd()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

bool CFrameWnd::LoadFrame(UINT resourceId, const char* className)
{
    const HINSTANCE instance = AfxGetInstanceHandle();
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExA(instance, className, &wc)) {
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CFrameWnd::WindowProc;
        wc.hInstance = instance;
        wc.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(resourceId));
        wc.hIconSm = static_cast<HICON>(
            ::LoadImageA(instance, MAKEINTRESOURCEA(resourceId), IMAGE_ICON, 16, 16, 0));
        wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className;
        if (!::RegisterClassExA(&wc))
            return false;
    }
    const std::string templateString = AfxLoadString(resourceId);
    const std::string caption = templateString.substr(0, templateString.find('\n'));
    m_hAccel = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(resourceId));
    m_hWnd = ::CreateWindowExA(0, className, caption.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                               ::LoadMenuA(instance, MAKEINTRESOURCEA(resourceId)), instance, this);
    if (!m_hWnd)
        return false;
    // The class's small icon is 16 px at every scale: the window's own are
    // taken at the sizes of this screen (20 and 40 px at 125 %, 32 and 64 at
    // 200 %), each from its own image, or the next larger one scaled down.
    const auto iconAt = [&](int metric) {
        HICON icon = nullptr;
        if (FAILED(::LoadIconMetric(instance, MAKEINTRESOURCEW(resourceId), metric, &icon)))
            icon = nullptr;
        return UniqueIcon(icon);
    };
    m_largeIcon = iconAt(LIM_LARGE);
    m_smallIcon = iconAt(LIM_SMALL);
    if (m_largeIcon)
        ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_largeIcon.get()));
    if (m_smallIcon)
        ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.get()));
    return true;
}

void CFrameWnd::SetView(std::unique_ptr<CFormView> view)
{
    m_view = std::move(view);
    RecalcLayout();
}

bool CFrameWnd::PreTranslateMessage(MSG* msg)
{
    if (m_hAccel && ::TranslateAcceleratorA(m_hWnd, m_hAccel, msg))
        return true;
    return m_view && m_view->GetSafeHwnd() && ::IsDialogMessageA(m_view->GetSafeHwnd(), msg);
}

void CFrameWnd::RecalcLayout()
{
    if (!m_view || !m_view->GetSafeHwnd())
        return;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    ::MoveWindow(m_view->GetSafeHwnd(), 0, 0, client.right, client.bottom, TRUE);
}

void CFrameWnd::SetWindowText(const std::string& text)
{
    ::SetWindowTextA(m_hWnd, text.c_str());
}

void CFrameWnd::OnClose()
{
    if (m_view && !m_view->CanCloseFrame())
        return; // the view closes the frame itself once it is safe
    ::DestroyWindow(m_hWnd);
}

LRESULT CFrameWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        RecalcLayout();
        return 0;
    case WM_SETFOCUS:
        if (m_view && m_view->GetSafeHwnd())
            ::SetFocus(m_view->GetSafeHwnd());
        return 0;
    case WM_COMMAND:
        // The menu's and the accelerators' commands are the application's.
        if (CWinApp* app = AfxGetApp())
            app->OnCmdMsg(LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK CFrameWnd::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CFrameWnd* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<CFrameWnd*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->m_hWnd = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CFrameWnd*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}
