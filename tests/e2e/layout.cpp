// Where the test program finds the programs it runs and the files it reads:
// beside itself, so an unpacked folder runs from anywhere, or where its
// command line says.

#include "harness.h"

#include "unique_handle.h"
#include "wide.h"

#include <shellapi.h>

#include <array>
#include <cstring>

namespace e2e {
namespace {

using plovik::win32::Narrow;

struct Layout {
    std::string bridge, adif2msg, peers, data, scratch;
    std::string testBridge; // none unless named
};

std::string OwnFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return Narrow(path.substr(0, path.find_last_of(L"\\/")));
}

Layout& Current()
{
    static Layout layout = [] {
        const std::string here = OwnFolder();
        return Layout{here + "\\plovik_bridge.exe",
                      here + "\\adif2msg.exe",
                      here,
                      here + "\\data",
                      here + "\\run",
                      ""};
    }();
    return layout;
}

// A Linux path (a build tree's, given under Wine) as Wine's Z: drive shows it.
std::string WindowsPath(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path.rfind('\\', 0) == 0 && path.rfind("\\\\", 0) != 0 ? "Z:" + path : path;
}

struct Option {
    const wchar_t* name;
    std::string Layout::*field;
};
const std::array<Option, 6> kOptions{{{L"--bridge=", &Layout::bridge},
                                      {L"--test-bridge=", &Layout::testBridge},
                                      {L"--adif2msg=", &Layout::adif2msg},
                                      {L"--peers=", &Layout::peers},
                                      {L"--data=", &Layout::data},
                                      {L"--scratch=", &Layout::scratch}}};

} // namespace

bool TakePathOptions(int& argc, char** argv, std::string& error)
{
    // The values from the wide command line: a folder's name may be outside
    // the ANSI code page the narrow argv holds.
    int count = 0;
    const plovik::win32::UniqueLocalMemory<LPWSTR*> wide(
        ::CommandLineToArgvW(::GetCommandLineW(), &count));
    if (!wide) {
        error = "the command line cannot be read";
        return false;
    }
    for (int i = 1; i < count; ++i) {
        const std::wstring argument = wide.get()[i];
        for (const Option& option : kOptions) {
            const std::size_t length = std::wcslen(option.name);
            if (argument.compare(0, length, option.name) != 0)
                continue;
            if (argument.size() == length) {
                error = "no path after " + Narrow(option.name);
                return false;
            }
            Current().*option.field = WindowsPath(Narrow(argument.substr(length)));
        }
    }
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        bool ours = false;
        for (const Option& option : kOptions)
            ours = ours || std::strncmp(argv[i], Narrow(option.name).c_str(),
                                        std::wcslen(option.name)) == 0;
        if (!ours)
            argv[kept++] = argv[i];
    }
    argc = kept;
    return true;
}

std::string BridgeProgram()
{
    return Current().bridge;
}

std::string TestBridgeProgram()
{
    return Current().testBridge;
}

std::string Adif2msgProgram()
{
    return Current().adif2msg;
}

std::string PeerProgram(const std::string& name)
{
    return Current().peers + "\\" + name;
}

std::string DataFile(const std::string& relative)
{
    return WindowsPath(Current().data + "/" + relative);
}

std::string ScratchFolder()
{
    const std::string& folder = Current().scratch;
    ::CreateDirectoryW(plovik::win32::Widen(folder).c_str(), nullptr);
    return folder;
}

} // namespace e2e
