#include "win_app.h"

#include "afx_ids.h"
#include "form_view.h"
#include "frame_wnd.h"
#include "wide.h"

#include <commdlg.h>

namespace {

CWinApp* g_app = nullptr;

constexpr const char* kRecentFileSection = "Recent File List";

} // namespace

CWinApp* AfxGetApp()
{
    return g_app;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_app ? g_app->m_hInstance : ::GetModuleHandleA(nullptr);
}

std::string AfxLoadString(UINT id)
{
    char buffer[1024];
    const int length = ::LoadStringA(AfxGetInstanceHandle(), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

int AfxMessageBox(const std::string& text)
{
    CWinApp* app = AfxGetApp();
    const HWND owner = app && app->m_pMainWnd ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
    const std::string caption = app ? app->m_pszAppName : std::string();
    // Texts are UTF-8, as are the system's reasons they carry.
    return ::MessageBoxW(owner, plovik::win32::Widen(text).c_str(),
                         plovik::win32::Widen(caption).c_str(), MB_OK);
}

CWinApp::CWinApp()
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    g_app = nullptr;
}

int CWinApp::Run(HINSTANCE instance, const char* commandLine)
{
    m_hInstance = instance;
    m_commandLine = commandLine ? commandLine : "";
    m_pszAppName = AfxLoadString(AFX_IDS_APP_TITLE);
    if (!InitInstance())
        return ExitInstance();
    MSG msg{};
    for (;;) {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                const int code = ExitInstance();
                return code == 0 ? static_cast<int>(msg.wParam) : code;
            }
            if (m_pMainWnd && m_pMainWnd->PreTranslateMessage(&msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        // Sleep until a message arrives or the view's object is signalled.
        CFormView* view = m_pMainWnd ? m_pMainWnd->GetActiveView() : nullptr;
        const std::vector<HANDLE> handles = view ? view->RefreshWatch() : std::vector<HANDLE>();
        const DWORD count = static_cast<DWORD>(handles.size());
        const DWORD woken =
            ::MsgWaitForMultipleObjects(count, handles.data(), FALSE, INFINITE, QS_ALLINPUT);
        if (woken >= WAIT_OBJECT_0 && woken < WAIT_OBJECT_0 + count)
            view->OnWatchSignalled(woken - WAIT_OBJECT_0);
    }
}

int CWinApp::ExitInstance()
{
    if (m_recentFiles)
        m_recentFiles->WriteList();
    return 0;
}

bool CWinApp::OnCmdMsg(UINT id)
{
    switch (id) {
    case ID_FILE_NEW:
        OnFileNew();
        return true;
    case ID_FILE_OPEN:
        OnFileOpen();
        return true;
    case ID_FILE_SAVE:
        // The document holds nothing and is never changed, so there is
        // nothing to write: storing "nothing" would empty whatever file was
        // opened (a log, its backup), and asking for a name to store it
        // under is pointless.
        return true;
    case ID_APP_EXIT:
        if (m_pMainWnd)
            ::PostMessageA(m_pMainWnd->GetSafeHwnd(), WM_CLOSE, 0, 0);
        return true;
    default:
        return false;
    }
}

void CWinApp::SetRegistryKey(const char* company)
{
    m_strRegistryKey = company;
}

void CWinApp::LoadStdProfileSettings(UINT maxRecentFiles)
{
    // Without a settings key, or room for a file, the list is kept nowhere.
    m_recentFiles.reset();
    if (m_strRegistryKey.empty() || maxRecentFiles == 0)
        return;
    m_recentFiles = std::make_unique<CRecentFileList>("Software\\" + m_strRegistryKey + "\\" +
                                                          m_pszAppName + "\\" + kRecentFileSection,
                                                      maxRecentFiles);
    m_recentFiles->ReadList();
}

void CWinApp::AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate)
{
    m_docTemplate = std::move(docTemplate);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) const
{
    // The first argument that is not a switch names a document to open.
    std::string rest = m_commandLine;
    while (!rest.empty()) {
        const std::size_t start = rest.find_first_not_of(" \t");
        if (start == std::string::npos)
            break;
        rest.erase(0, start);
        std::string argument;
        if (rest[0] == '"') {
            const std::size_t end = rest.find('"', 1);
            argument = rest.substr(1, end == std::string::npos ? std::string::npos : end - 1);
            rest.erase(0, end == std::string::npos ? rest.size() : end + 1);
        } else {
            const std::size_t end = rest.find_first_of(" \t");
            argument = rest.substr(0, end);
            rest.erase(0, end == std::string::npos ? rest.size() : end);
        }
        if (argument.empty() || argument[0] == '/' || argument[0] == '-')
            continue;
        if (info.m_strFileName.empty()) {
            info.m_strFileName = argument;
            info.m_nShellCommand = CCommandLineInfo::FileOpen;
        }
    }
}

BOOL CWinApp::ProcessShellCommand(const CCommandLineInfo& info)
{
    if (!m_docTemplate)
        return FALSE;
    const char* path =
        info.m_nShellCommand == CCommandLineInfo::FileOpen ? info.m_strFileName.c_str() : nullptr;
    if (!m_docTemplate->OpenDocumentFile(path))
        return FALSE;
    m_pMainWnd = m_docTemplate->Frame();
    return TRUE;
}

void CWinApp::OnFileNew()
{
    if (m_docTemplate)
        m_docTemplate->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen()
{
    char path[MAX_PATH] = "";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
    dialog.lpstrFilter = "All Files (*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!::GetOpenFileNameA(&dialog))
        return; // cancelled
    if (m_docTemplate && m_docTemplate->OpenDocumentFile(path) && m_recentFiles)
        m_recentFiles->Add(path);
}
