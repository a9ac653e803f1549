#pragma once
// The engine's platform inside the Windows program.

#include "platform.h"

#include <windows.h>

#include <string>

namespace plovik::win32 {

class Win32Platform : public Platform {
public:
    explicit Win32Platform(std::string appTitle) : m_appTitle(std::move(appTitle)) {}

    void SetMainWindow(HWND window) { m_hMainWnd = window; }
    void SetCheckBox(HWND checkBox) { m_hCheckBox = checkBox; }
    // From now on drains report shutdown, so running work stops early.
    void RequestStop() { m_bStopping = true; }
    bool StopRequested() const { return m_bStopping; }

    OpenResult OpenLogFile(const std::string& path) override;
    OpenResult OpenOutboxFile(const std::string& path) override;
    bool MakeFolder(const std::string& folder, std::string& reason) override;
    FolderListing ListFolder(const std::string& folder) override;
    bool RenameFile(const std::string& from, const std::string& to, std::string& reason) override;
    bool RemoveFile(const std::string& path, std::string& reason) override;
    bool DrainMessages() override;
    void ShowMessageBox(const std::string& text) override;
    CheckState GetNoFreqCheck() override;
    SendStatus SendCopyData(WindowRef receiver, unsigned long kind,
                            const std::string& data) override;

private:
    std::string m_appTitle;
    HWND m_hMainWnd = nullptr;
    HWND m_hCheckBox = nullptr;
    bool m_bStopping = false;
    MSG m_msg{};
};

} // namespace plovik::win32
