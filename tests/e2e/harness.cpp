#include "harness.h"

#include "log_paths.h"
#include "outbox_names.h"
#include "wide.h"

#include <lmcons.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace e2e {

using plovik::win32::Narrow;
using plovik::win32::Widen;

namespace {

void ReleaseScreenDc(HDC dc)
{
    ::ReleaseDC(nullptr, dc);
}
// The screen's device context for as long as the object lives.
using ScreenDc = plovik::win32::UniqueHandle<plovik::win32::HandleTraits<HDC, ReleaseScreenDc>>;

bool IsFolder(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

std::string Quote(const std::string& text)
{
    return "\"" + text + "\"";
}

OpenFile::OpenFile(const std::string& path, DWORD access, DWORD share, DWORD disposition,
                   SECURITY_ATTRIBUTES* security)
    : m_file(::CreateFileW(Widen(path).c_str(), access, share, security, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

Process::Process(const std::string& commandLine, const std::string& output)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const OpenFile out(output.empty() ? std::string("NUL") : output, GENERIC_WRITE, FILE_SHARE_READ,
                       CREATE_ALWAYS, &inherit);
    const bool redirect = !output.empty() && out.Valid();
    if (redirect) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out.Get();
        startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    }
    std::wstring line = Widen(commandLine);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, redirect, 0, nullptr, nullptr,
                          &startup, &info))
        return;
    m_process.reset(info.hProcess);
    m_thread.reset(info.hThread);
}

Process::~Process()
{
    if (Running()) {
        ::TerminateProcess(m_process.get(), 99);
        ::WaitForSingleObject(m_process.get(), 5000);
    }
}

bool Process::Running() const
{
    return m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT;
}

long Process::WaitExit(DWORD timeoutMs)
{
    if (!m_process || ::WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.get(), &code);
    return static_cast<long>(code);
}

bool Process::Kill()
{
    return m_process && ::TerminateProcess(m_process.get(), 137) &&
           ::WaitForSingleObject(m_process.get(), 10000) == WAIT_OBJECT_0;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::Sleep(20);
    }
}

bool HoldsFor(const std::function<bool()>& condition, DWORD durationMs)
{
    return !WaitFor([&] { return !condition(); }, durationMs);
}

std::string WindowText(HWND window)
{
    char text[512];
    const int length = ::GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string ClassOf(HWND window)
{
    char name[256];
    const int length = ::GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

COLORREF ScreenPixel(HWND window, int x, int y)
{
    RECT rect;
    if (!window || !::GetWindowRect(window, &rect))
        return CLR_INVALID;
    // Another program's window over that point (a runner's console) would
    // give its colour: no colour at all, then.
    const POINT point{rect.left + x, rect.top + y};
    const HWND top = ::WindowFromPoint(point);
    if (!top || ::GetAncestor(top, GA_ROOT) != ::GetAncestor(window, GA_ROOT))
        return CLR_INVALID;
    const ScreenDc screen(::GetDC(nullptr));
    return ::GetPixel(screen.get(), point.x, point.y);
}

namespace {

struct DialogSearch {
    std::string caption;
    std::vector<HWND> found;
};

// A plain function: 32-bit Windows wants a stdcall callback, which a lambda
// does not convert to.
BOOL CALLBACK CollectDialog(HWND window, LPARAM param)
{
    auto* s = reinterpret_cast<DialogSearch*>(param);
    if (ClassOf(window) == "#32770" && ::IsWindowVisible(window) &&
        WindowText(window) == s->caption)
        s->found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> Dialogs(const std::string& caption)
{
    DialogSearch search{caption, {}};
    ::EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string StaticTexts(HWND dialog)
{
    std::string texts;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "Static")
            texts += WindowText(child) + "\n";
    return texts;
}

std::vector<Received> ReadReceived(const std::string& path)
{
    // Each record: "kind cbData time sender\n", then exactly cbData bytes, then "\n".
    std::vector<Received> messages;
    const std::string all = ReadFileBytes(path);
    std::size_t at = 0;
    while (at < all.size()) {
        const std::size_t eol = all.find('\n', at);
        if (eol == std::string::npos)
            break;
        std::istringstream header(all.substr(at, eol - at));
        Received r;
        if (!(header >> r.kind >> r.cbData >> r.time >> r.sender))
            break;
        if (eol + 1 + r.cbData + 1 > all.size())
            break; // still being written
        r.bytes = all.substr(eol + 1, r.cbData);
        messages.push_back(r);
        at = eol + 1 + r.cbData + 1;
    }
    return messages;
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFileBytes(const std::string& path, const std::string& content)
{
    std::ofstream(std::filesystem::u8path(path), std::ios::binary) << content;
}

void PlaceFile(const std::string& path, const std::string& content)
{
    const std::string whole = path + ".part";
    WriteFileBytes(whole, content);
    ::MoveFileExW(Widen(whole).c_str(), Widen(path).c_str(), MOVEFILE_REPLACE_EXISTING);
}

bool FileExists(const std::string& path)
{
    return ::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolder(const std::string& path)
{
    return ::CreateDirectoryW(Widen(path).c_str(), nullptr) != FALSE;
}

void RemoveFile(const std::string& path)
{
    ::SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(Widen(path).c_str());
}

WatchedFiles Watched()
{
    // By the bridge's own rule, from the same system facts, read as it reads
    // them: through the wide calls, as the names may be outside the ANSI
    // code page.
    std::optional<std::string> userName;
    wchar_t user[UNLEN + 1];
    DWORD size = UNLEN + 1;
    if (::GetUserNameW(user, &size))
        userName = Narrow(user);
    wchar_t appData[MAX_PATH] = L"";
    std::string localAppData;
    if (SUCCEEDED(
            ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)))
        localAppData = Narrow(appData);
    const plovik::LogPaths paths = plovik::ChooseLogPaths(userName, IsFolder, localAppData);
    const std::string folder = paths.m_strLogPath.substr(0, paths.m_strLogPath.rfind('\\'));
    return WatchedFiles{folder,
                        paths.m_strLogPath,
                        paths.m_strBakPath,
                        folder + "\\" + plovik::kOutboxFolderName,
                        folder + "\\" + plovik::kLegacyKeptName,
                        folder + "\\" + plovik::kSentRecordName,
                        localAppData};
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const plovik::win32::UniqueFind search(::FindFirstFileW(Widen(folder + "\\*").c_str(), &found));
    if (!search)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(Narrow(found.cFileName));
    } while (::FindNextFileW(search.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveFilesIn(const std::string& folder)
{
    for (const std::string& name : FilesIn(folder)) {
        const std::string path = folder + "\\" + name;
        ::SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveFile(path);
    }
}

void RemoveFolder(const std::string& folder)
{
    RemoveFilesIn(folder);
    ::RemoveDirectoryW(Widen(folder).c_str());
}

} // namespace e2e
