#include "frame_wnd.h"

#include "document.h"
#include "form_view.h"
#include "win_app.h"

CFrameWnd::~CFrameWnd()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs)
{
    cs.style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE;
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCTA)
{
    return 0;
}

bool CFrameWnd::LoadFrame(UINT resourceId, CDocument* document)
{
    m_document = document;
    const HINSTANCE instance = AfxGetInstanceHandle();
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExA(instance, kClassName, &wc)) {
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CFrameWnd::WindowProc;
        wc.hInstance = instance;
        wc.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(resourceId));
        wc.hIconSm = static_cast<HICON>(
            ::LoadImageA(instance, MAKEINTRESOURCEA(resourceId), IMAGE_ICON, 16, 16, 0));
        wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        if (!::RegisterClassExA(&wc))
            return false;
    }
    // The caption starts as the first field of the document-template string.
    const std::string templateString = AfxLoadString(resourceId);
    m_strTitle = templateString.substr(0, templateString.find('\n'));

    CREATESTRUCTA cs{};
    cs.hInstance = instance;
    cs.hMenu = ::LoadMenuA(instance, MAKEINTRESOURCEA(resourceId));
    cs.lpszClass = kClassName;
    cs.lpszName = m_strTitle.c_str();
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
    if (!PreCreateWindow(cs))
        return false;
    m_dwStyle = static_cast<DWORD>(cs.style);
    m_hAccel = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(resourceId));
    // Frame styles are the framework's own; Windows never sees them.
    const DWORD windowStyle = m_dwStyle & ~FWS_ADDTOTITLE;
    m_hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, windowStyle, cs.x, cs.y,
                               cs.cx, cs.cy, nullptr, cs.hMenu, instance, this);
    return m_hWnd != nullptr;
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

void CFrameWnd::OnUpdateFrameTitle()
{
    if (!(m_dwStyle & FWS_ADDTOTITLE) || !m_document)
        return;
    SetWindowText(m_document->GetTitle() + " - " + m_strTitle);
}

void CFrameWnd::SetWindowText(const std::string& text)
{
    ::SetWindowTextA(m_hWnd, text.c_str());
}

std::string CFrameWnd::GetWindowText() const
{
    char text[512];
    const int length = ::GetWindowTextA(m_hWnd, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

void CFrameWnd::OnCommand(UINT id)
{
    // Commands go to the view, then the document, then the application.
    if (m_view && m_view->OnCmdMsg(id))
        return;
    if (m_document && m_document->OnCmdMsg(id))
        return;
    if (CWinApp* app = AfxGetApp())
        app->OnCmdMsg(id);
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
    case WM_CREATE:
        return OnCreate(reinterpret_cast<LPCREATESTRUCTA>(lParam));
    case WM_SIZE:
        RecalcLayout();
        return 0;
    case WM_SETFOCUS:
        if (m_view && m_view->GetSafeHwnd())
            ::SetFocus(m_view->GetSafeHwnd());
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
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
