#pragma once
// What the end-to-end tests need to play the user, WSJT-X and Logvex
// around the real bridge: processes, windows, pixels, files.

#include "owned.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Windows path of a file of the build tree.
std::string BuildPath(const std::string& relative);
std::string Quote(const std::string& text);

// A started program; ended (if still running) when the object goes.
class Process {
public:
    explicit Process(const std::string& commandLine);
    ~Process();
    Process(Process&&) = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return m_process.Valid(); }
    bool Running() const;
    // Waits for the program to end; its exit code, or -1 on time-out.
    long WaitExit(DWORD timeoutMs);
    DWORD Id() const { return m_id; }

private:
    KernelHandle m_process, m_thread;
    DWORD m_id = 0;
};

// Polls `condition` every 20 ms until it holds or `timeoutMs` passes.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// The bridge and its controls.
HWND FindBridge();
HWND BridgeControl(int id);
// The colour at the middle of a control, read off the screen.
COLORREF CentreColour(HWND control);
std::string WindowText(HWND window);
// Top-level dialogs of the given caption, e.g. message boxes.
std::vector<HWND> Dialogs(const std::string& caption);
std::string DialogText(HWND dialog); // the texts of its static controls

// A message recorded by logvex-peer.
struct Received {
    unsigned long kind;
    unsigned long cbData;
    unsigned long long time;
    std::string text;
};
std::vector<Received> ReadReceived(const std::string& path);

// Files.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);
void RemoveFile(const std::string& path);

// The folder the bridge watches and its two files.
struct WatchedFiles {
    std::string folder, log, backup;
};
WatchedFiles Watched();

// The menu of a program's resources, as "text=id" lines ("popup" for a
// submenu), depth first: Wine's menus cannot be read from another process.
std::vector<std::string> MenuTexts(const std::string& exePath, int menuId);

// The text adif2msg would print, for a record line of the WSJT-X log.
extern const char* const kHeader;

} // namespace e2e
