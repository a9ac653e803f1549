#include "plovik_bridge_app.h"

#include "about_dlg.h"
#include "bridge_names.h"
#include "main_frame.h"
#include "plovik_bridge_doc.h"
#include "plovik_bridge_view.h"
#include "resource.h"
#include "user_sid.h"
#include "wide.h"

#include <commctrl.h>

bool CPlovik_bridgeApp::ClaimSingleInstance()
{
    // Two bridges would send every contact twice: a second copy shows the
    // first one instead (one in another session of the user has no window
    // here to show). A first copy run as administrator made the mutex with
    // rights this one lacks: opening it then fails with "access denied",
    // which means it is there all the same. A mutex needs no privilege in
    // the global namespace, unlike a file mapping.
    const HANDLE mutex = ::CreateMutexW(
        nullptr, FALSE,
        plovik::win32::Widen(plovik::SingleInstanceMutexName(plovik::win32::CurrentUserSid()))
            .c_str());
    const DWORD error = ::GetLastError();
    m_instanceMutex.reset(mutex);
    if (m_instanceMutex && error != ERROR_ALREADY_EXISTS)
        return true;
    if (!m_instanceMutex && error != ERROR_ACCESS_DENIED)
        return true; // no mutex to go by: run rather than refuse
    if (const HWND first = ::FindWindowA(plovik::kFrameClassName, nullptr)) {
        if (::IsIconic(first))
            ::ShowWindow(first, SW_RESTORE);
        ::SetForegroundWindow(first);
    }
    return false;
}

BOOL CPlovik_bridgeApp::InitInstance()
{
    if (!ClaimSingleInstance())
        return FALSE;

    // Common controls, for the themed look the manifest asks for.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    SetRegistryKey("Local AppWizard-Generated Applications");
    LoadStdProfileSettings(4);

    AddDocTemplate(std::make_unique<CSingleDocTemplate>(
        IDR_MAINFRAME, plovik::kFrameClassName, std::make_unique<CPlovik_bridgeDoc>(),
        std::make_unique<CMainFrame>(), std::make_unique<CPlovik_bridgeView>()));

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;

    ::ShowWindow(m_pMainWnd->GetSafeHwnd(), SW_SHOW);
    ::UpdateWindow(m_pMainWnd->GetSafeHwnd());
    return TRUE;
}

bool CPlovik_bridgeApp::OnCmdMsg(UINT id)
{
    if (id == ID_APP_ABOUT) {
        OnAppAbout();
        return true;
    }
    return CWinApp::OnCmdMsg(id);
}

void CPlovik_bridgeApp::OnAppAbout()
{
    CAboutDlg aboutDlg;
    aboutDlg.DoModal(m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr);
}
