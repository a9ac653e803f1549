#pragma once
// The application object: start-up, message loop, standard commands and
// the standard settings (recent-file list) under the settings key.

#include "afx.h"
#include "doc_template.h"

#include <memory>
#include <string>
#include <vector>

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
    virtual int ExitInstance();
    // Commands that reach the application; true when handled.
    virtual bool OnCmdMsg(UINT id);

    int Run(HINSTANCE instance, const char* commandLine);

    void SetRegistryKey(const char* company);
    void LoadStdProfileSettings(UINT maxRecentFiles);
    void AddToRecentFileList(const std::string& path);
    const std::vector<std::string>& RecentFiles() const { return m_recentFiles; }

    void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate);
    void ParseCommandLine(CCommandLineInfo& info) const;
    BOOL ProcessShellCommand(const CCommandLineInfo& info);

    void OnFileNew();
    void OnFileOpen();

    HINSTANCE m_hInstance = nullptr;
    CFrameWnd* m_pMainWnd = nullptr;
    std::string m_pszAppName;     // the application title
    std::string m_pszRegistryKey; // company key under HKCU\Software

private:
    void SaveStdProfileSettings();
    std::string ProfileKey(const char* section) const;

    std::string m_commandLine;
    std::unique_ptr<CSingleDocTemplate> m_docTemplate;
    std::vector<std::string> m_recentFiles;
    UINT m_maxRecentFiles = 0;
};
