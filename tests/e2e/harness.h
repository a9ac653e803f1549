#pragma once
// What the end-to-end tests need to play the user, WSJT-X and Logvex around
// the real bridge: programs, windows, pixels and files.

#include "unique_handle.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Where the tests find what they run and read: beside the test program,
// unless its command line names a place (a build tree's layout):
//   --bridge=FILE --adif2msg=FILE   the programs that ship
//   --test-bridge=FILE              the test build's bridge, which takes test
//                                   settings (none beside the test program)
//   --peers=FOLDER                  logvex-peer.exe, wsjtx-peer.exe
//   --data=FOLDER                   the sample logs (wsjtx\...)
//   --scratch=FOLDER                the tests' own files (made if missing)
// Takes these options out of argv; false, with `error` set, on a bad one.
bool TakePathOptions(int& argc, char** argv, std::string& error);
std::string BridgeProgram();
std::string TestBridgeProgram(); // "" when not named
std::string Adif2msgProgram();
// "logvex-peer.exe", "wsjtx-peer.exe"
std::string PeerProgram(const std::string& name);
std::string DataFile(const std::string& relative);
std::string ScratchFolder();
std::string Quote(const std::string& text);

// A file opened with the given sharing, closed when the object goes or on Close().
class OpenFile {
public:
    OpenFile(const std::string& path, DWORD access, DWORD share, DWORD disposition,
             SECURITY_ATTRIBUTES* security = nullptr);

    bool Valid() const { return static_cast<bool>(m_file); }
    HANDLE Get() const { return m_file.get(); }
    void Close() { m_file.reset(); }

private:
    plovik::win32::UniqueFile m_file;
};

// A started program, ended (if still running) when the object goes.
class Process {
public:
    // `output`: a file that receives the program's standard output, if any.
    explicit Process(const std::string& commandLine, const std::string& output = "");
    ~Process();

    bool Started() const { return static_cast<bool>(m_process); }
    HANDLE Handle() const { return m_process.get(); }
    bool Running() const;
    // Waits for the program to end: its exit code, or -1 on time-out.
    long WaitExit(DWORD timeoutMs);
    // Ends it hard, as Task Manager does (under Wine, as SIGKILL does): no
    // window is destroyed by it, no handler of its own runs. True once it has gone.
    bool Kill();

private:
    plovik::win32::UniqueKernelHandle m_process;
    plovik::win32::UniqueKernelHandle m_thread;
};

// Polls `condition` every 20 ms until it holds or `timeoutMs` has passed.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
// Checks that `condition` holds at every poll for `durationMs`.
bool HoldsFor(const std::function<bool()>& condition, DWORD durationMs);

std::string WindowText(HWND window);
std::string ClassOf(HWND window);
// The colour of one pixel of a window, read off the screen (what the user
// sees); CLR_INVALID where another program's window covers it.
COLORREF ScreenPixel(HWND window, int x, int y);
// Visible top-level dialogs (class "#32770") with this caption.
std::vector<HWND> Dialogs(const std::string& caption);
// The texts of a dialog's static controls, one a line.
std::string StaticTexts(HWND dialog);

// A message as logvex-peer recorded it.
struct Received {
    unsigned long long kind = 0;
    unsigned long long cbData = 0;
    unsigned long long time = 0;   // 100-ns units since 1601
    unsigned long long sender = 0; // wParam
    std::string bytes;
};
std::vector<Received> ReadReceived(const std::string& path);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& content);
// Writes a file whole under another name, then renames it into place, so a
// watcher never sees it half written.
void PlaceFile(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);
bool MakeFolder(const std::string& path);
void RemoveFile(const std::string& path);

// Paths and command lines are UTF-8 throughout, and go to the system
// through its wide calls.

// The folder WSJT-X writes its log to, the log and its backup.
struct WatchedFiles {
    std::string folder, log, backup;
    std::string outbox;  // where taken contacts wait for Logvex
    std::string unsent;  // where an earlier version kept contacts at its close
    std::string sent;    // the record of what Logvex took
    std::string appData; // the local application data, where every instance keeps its folder
};
WatchedFiles Watched();
// The names of the files in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);
void RemoveFilesIn(const std::string& folder);
// The same, and the folder itself.
void RemoveFolder(const std::string& folder);

} // namespace e2e
