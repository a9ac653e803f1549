#include "harness.h"

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
    PROCESS_INFORMATION info{};
    if (::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                         &info)) {
        m_process = KernelHandle(info.hProcess);
        m_thread = KernelHandle(info.hThread);
        m_id = info.dwProcessId;
    }
}

Process::~Process()
{
    if (Running()) {
        ::TerminateProcess(m_process.Get(), 99);
        ::WaitForSingleObject(m_process.Get(), 5000);
    }
}

bool Process::Running() const
{
    return m_process.Valid() && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

long Process::WaitExit(DWORD timeoutMs)
{
    if (!m_process.Valid() || ::WaitForSingleObject(m_process.Get(), timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.Get(), &code);
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
    // The light is 17 x 17 from the control's top-left corner.
    const ScreenDc screen;
    return ::GetPixel(screen.Get(), rect.left + 8, rect.top + 8);
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

namespace {
void AppendMenuTexts(HMENU menu, std::vector<std::string>& texts)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        const UINT id = ::GetMenuItemID(menu, i);
        texts.push_back(std::string(text) + "=" + (id == static_cast<UINT>(-1) ? "popup" : std::to_string(id)));
        if (const HMENU sub = ::GetSubMenu(menu, i))
            AppendMenuTexts(sub, texts);
    }
}
} // namespace

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
    // As WSJT-X's users find it: the old per-user folder when the prefix
    // has one, otherwise the local application-data folder.
    std::string base;
    char user[UNLEN + 1];
    DWORD size = sizeof user;
    if (::GetUserNameA(user, &size)) {
        const std::string old =
            std::string("C:\\Documents and Settings\\") + user + "\\Local Settings\\Application Data";
        const DWORD attributes = ::GetFileAttributesA(old.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            base = old;
    }
    if (base.empty()) {
        char appData[MAX_PATH] = "";
        ::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
        base = appData;
    }
    const std::string folder = base + "\\WSJT-X";
    return WatchedFiles{folder, folder + "\\wsjtx_log.adi", folder + "\\wsjtx_log_bak.adi"};
}

std::vector<std::string> MenuTexts(const std::string& exePath, int menuId)
{
    std::vector<std::string> texts;
    const ModuleHandle module(::LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module.Valid())
        return texts;
    const MenuHandle menu(::LoadMenuA(module.Get(), MAKEINTRESOURCEA(menuId)));
    if (menu.Valid())
        AppendMenuTexts(menu.Get(), texts);
    return texts;
}

} // namespace e2e
