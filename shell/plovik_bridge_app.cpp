#include "plovik_bridge_app.h"

#include "about_dlg.h"
#include "bridge_names.h"
#include "main_frame.h"
#include "plovik_bridge_doc.h"
#include "plovik_bridge_view.h"
#include "resource.h"

#include <commctrl.h>

BOOL CPlovik_bridgeApp::InitInstance()
{
    if (!m_singleStart.Claim())
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
