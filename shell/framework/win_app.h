#pragma once
// The application object: start-up, message loop, standard commands and
// the standard settings (recent-file list) under the settings key.

#include "afx.h"
#include "doc_template.h"
#include "recent_file_list.h"

#include <memory>
#include <string>

class CFrameWnd;

struct CCommandLineInfo {
    enum Shell { FileNew, FileOpen };
    Shell m_nShellCommand = FileNew;
    std::string m_strFileName;
};

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() = 0;
    // Commands of the menu and the accelerators; true when handled.
    virtual bool OnCmdMsg(UINT id);

    int Run(HINSTANCE instance, const char* commandLine);

    // The settings go under HKCU\Software\<company>\<application title>.
    void SetRegistryKey(const char* company);
    void LoadStdProfileSettings(UINT maxRecentFiles);

    void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate);
    void ParseCommandLine(CCommandLineInfo& info) const;
    BOOL ProcessShellCommand(const CCommandLineInfo& info);

    HINSTANCE m_hInstance = nullptr;
    CFrameWnd* m_pMainWnd = nullptr;
    std::string m_pszAppName; // the application title

private:
    int ExitInstance();
    void OnFileNew();
    void OnFileOpen();

    std::string m_commandLine;
    std::string m_strRegistryKey;
    std::unique_ptr<CSingleDocTemplate> m_docTemplate;
    std::unique_ptr<CRecentFileList> m_recentFiles; // none without a settings key
};
