#include "document.h"

#include "frame_wnd.h"
#include "unique_handle.h"
#include "win_app.h"
#include "win_error.h"

#include <commdlg.h>

BOOL CDocument::OnNewDocument()
{
    m_strPathName.clear();
    SetTitle("Untitled");
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const char* path)
{
    // The document keeps nothing of the file, but it must be readable.
    plovik::win32::UniqueFile file(::CreateFileA(path, GENERIC_READ,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        AfxMessageBox(std::string("Cannot open ") + path + "\n\n" +
                      plovik::win32::ErrorText(::GetLastError()));
        return FALSE;
    }
    Serialize(false);
    return TRUE;
}

bool CDocument::OnCmdMsg(UINT id)
{
    if (id != 57603) // ID_FILE_SAVE
        return false;
    OnFileSave();
    return true;
}

void CDocument::OnFileSave()
{
    std::string path = m_strPathName;
    if (path.empty()) {
        char chosen[MAX_PATH] = "";
        OPENFILENAMEA dialog{};
        dialog.lStructSize = sizeof dialog;
        CWinApp* app = AfxGetApp();
        dialog.hwndOwner = app && app->m_pMainWnd ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
        dialog.lpstrFilter = "All Files (*.*)\0*.*\0";
        dialog.lpstrFile = chosen;
        dialog.nMaxFile = sizeof chosen;
        dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
        if (!::GetSaveFileNameA(&dialog))
            return;
        path = chosen;
    }
    plovik::win32::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        AfxMessageBox("Cannot save " + path + "\n\n" + plovik::win32::ErrorText(::GetLastError()));
        return;
    }
    Serialize(true);
    SetPathName(path);
}

void CDocument::SetTitle(const std::string& title)
{
    m_strTitle = title;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd)
        app->m_pMainWnd->OnUpdateFrameTitle();
}

void CDocument::SetPathName(const std::string& path)
{
    m_strPathName = path;
    const std::size_t slash = path.find_last_of("\\/");
    SetTitle(slash == std::string::npos ? path : path.substr(slash + 1));
}
