#include "main_frame.h"

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.style &= ~static_cast<LONG>(FWS_ADDTOTITLE);
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCTA cs)
{
    return CFrameWnd::OnCreate(cs) == -1 ? -1 : 0;
}
