#include "harness.h"

#include "log_paths.h"

#include <lmcons.h>
#include <shlobj.h>

#include <fstream>
#include <sstream>

namespace e2e {

const char* const kHeader = "ADIF Export\r\n<adif_ver:5>3.1.1\r\n"
                            "<created_timestamp:15>20261207 062122\r\n<programid:6>WSJT-X\r\n"
                            "<programversion:5>2.6.1\r\n<eoh>\r\n";

std::string BuildPath(const std::string& relative)
{
    std::string path = "Z:" PLOVIK_BUILD_DIR "/" + relative;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string Quote(const std::string& text)
{
    return "\"" + text + "\"";
}

Process::Process(const std::string& commandLine)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &m_info))
        m_info = PROCESS_INFORMATION{};
}

Process::Process(Process&& other) noexcept : m_info(other.m_info)
{
    other.m_info = PROCESS_INFORMATION{};
}

Process::~Process()
{
    if (!m_info.hProcess)
        return;
    if (Running()) {
        ::TerminateProcess(m_info.hProcess, 99);
        ::WaitForSingleObject(m_info.hProcess, 5000);
    }
    ::CloseHandle(m_info.hThread);
    ::CloseHandle(m_info.hProcess);
}

bool Process::Running() const
{
    return m_info.hProcess && ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

long Process::WaitExit(DWORD timeoutMs)
{
    if (!m_info.hProcess || ::WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(m_info.hProcess, &code);
    return static_cast<long>(code);
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

HWND FindBridge()
{
    return ::FindWindowA("PlovikBridgeFrame", nullptr);
}

HWND BridgeControl(int id)
{
    const HWND form = ::FindWindowExA(FindBridge(), nullptr, "#32770", nullptr);
    return form ? ::GetDlgItem(form, id) : nullptr;
}

COLORREF CentreColour(HWND control)
{
    RECT rect;
    if (!control || !::GetWindowRect(control, &rect))
        return CLR_INVALID;
    const HDC screen = ::GetDC(nullptr);
    // The light is 17 pixels wide from the control's top-left corner.
    const COLORREF colour = ::GetPixel(screen, rect.left + 8, rect.top + 8);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

std::string WindowText(HWND window)
{
    char text[512];
    const int length = ::GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::vector<HWND> Dialogs(const std::string& caption)
{
    struct Search {
        std::string caption;
        std::vector<HWND> found;
    } search{caption, {}};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            char cls[64];
            ::GetClassNameA(window, cls, sizeof cls);
            if (std::string(cls) == "#32770" && ::IsWindowVisible(window) &&
                WindowText(window) == s->caption)
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string DialogText(HWND dialog)
{
    std::string texts;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char cls[64];
        ::GetClassNameA(child, cls, sizeof cls);
        if (std::string(cls) == "Static")
            texts += WindowText(child) + "\n";
    }
    return texts;
}

std::vector<Received> ReadReceived(const std::string& path)
{
    std::vector<Received> messages;
    const std::string all = ReadFile(path);
    std::size_t at = 0;
    while (at < all.size()) {
        const std::size_t eol = all.find('\n', at);
        if (eol == std::string::npos)
            break;
        std::istringstream header(all.substr(at, eol - at));
        Received r{};
        header >> r.kind >> r.cbData >> r.time;
        if (eol + 1 + r.cbData + 1 > all.size())
            break; // being written
        r.text = all.substr(eol + 1, r.cbData);
        messages.push_back(r);
        at = eol + 1 + r.cbData + 1;
    }
    return messages;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

bool FileExists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveFile(const std::string& path)
{
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(path.c_str());
}

WatchedFiles Watched()
{
    char user[UNLEN + 1];
    DWORD size = sizeof user;
    std::optional<std::string> name;
    if (::GetUserNameA(user, &size))
        name = std::string(user);
    char appData[MAX_PATH] = "";
    ::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    const plovik::LogPaths paths = plovik::ChooseLogPaths(
        name,
        [](const std::string& folder) {
            const DWORD a = ::GetFileAttributesA(folder.c_str());
            return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
        },
        appData);
    const std::string folder = paths.m_strLogPath.substr(0, paths.m_strLogPath.find_last_of('\\'));
    return WatchedFiles{folder, paths.m_strLogPath, paths.m_strBakPath};
}

} // namespace e2e
