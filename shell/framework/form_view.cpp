#include "form_view.h"

#include "frame_wnd.h"

#include <algorithm>

void DDX_Control(CDataExchange* pDX, int id, CStatic& control)
{
    if (!control.m_hWnd)
        control.m_hWnd = ::GetDlgItem(pDX->m_hDialog, id);
}

void DDX_Check(CDataExchange* pDX, int id, int& value)
{
    const HWND box = ::GetDlgItem(pDX->m_hDialog, id);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(box, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(box, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

CFormView::~CFormView()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

BOOL CFormView::PreCreateWindow(CREATESTRUCTA&)
{
    return TRUE;
}

bool CFormView::Create(CFrameWnd* frame, CDocument* document)
{
    m_frame = frame;
    m_document = document;
    CREATESTRUCTA cs{};
    if (!PreCreateWindow(cs))
        return false;
    m_hWnd = ::CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_templateId),
                                  frame->GetSafeHwnd(), &CFormView::DialogProc,
                                  reinterpret_cast<LPARAM>(this));
    if (!m_hWnd)
        return false;
    RECT rect;
    ::GetWindowRect(m_hWnd, &rect);
    m_formSize = SIZE{rect.right - rect.left, rect.bottom - rect.top};
    ::ShowWindow(m_hWnd, SW_SHOW);
    return true;
}

void CFormView::OnInitialUpdate()
{
    UpdateData(FALSE);
    OnUpdate(nullptr, 0, nullptr);
}

void CFormView::OnUpdate(CFormView*, LPARAM, void*) {}

void CFormView::DoDataExchange(CDataExchange*) {}

BOOL CFormView::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(m_hWnd, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CFormView::ResizeParentToFit()
{
    const HWND frame = m_frame->GetSafeHwnd();
    RECT wanted{0, 0, m_formSize.cx, m_formSize.cy};
    ::AdjustWindowRectEx(&wanted, static_cast<DWORD>(::GetWindowLongPtrA(frame, GWL_STYLE)),
                         ::GetMenu(frame) != nullptr,
                         static_cast<DWORD>(::GetWindowLongPtrA(frame, GWL_EXSTYLE)));
    RECT now;
    ::GetWindowRect(frame, &now);
    const LONG width = std::min(wanted.right - wanted.left, now.right - now.left);
    const LONG height = std::min(wanted.bottom - wanted.top, now.bottom - now.top);
    ::SetWindowPos(frame, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CFormView::HandleMessage(UINT, WPARAM, LPARAM)
{
    return false;
}

INT_PTR CALLBACK CFormView::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        reinterpret_cast<CFormView*>(lParam)->m_hWnd = hwnd;
        return TRUE;
    }
    auto* self = reinterpret_cast<CFormView*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self)
        return FALSE;
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
        return FALSE;
    }
    return self->HandleMessage(message, wParam, lParam) ? TRUE : FALSE;
}
