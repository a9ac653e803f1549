// wsjtx-peer: stands in for WSJT-X in tests. A top-level window of class
// "Qt5QWindowIcon" that can append contacts to the log file as WSJT-X
// does: the header when the file is new, then one record per line, CRLF.
//   --log PATH            the log file
//   --append FILE         record lines to append, one at a time
//   --gap-min-ms/--gap-max-ms   random pause before each append (default 0)
//   --hold-ms MS          keep the file open for writing that long per append
//   --times FILE          the time each append closed the file (100-ns units)
//   --seed N              seed of the random gaps (default 1)
//   --stay                keep the window up after the appends, until closed
//   --window-only         only show the window, until closed or ended

#include "peer_args.h"

#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const kHeader = "ADIF Export\r\n<adif_ver:5>3.1.1\r\n"
                            "<created_timestamp:15>20261207 062122\r\n<programid:6>WSJT-X\r\n"
                            "<programversion:5>2.6.1\r\n<eoh>\r\n";

// Opens for appending the way Qt does on Windows (read and write sharing),
// waiting while the bridge holds the file, as WSJT-X would fail and retry.
HANDLE OpenForAppend(const std::string& path)
{
    for (int attempt = 0; attempt < 500; ++attempt) {
        const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_SHARING_VIOLATION)
            return file;
        ::Sleep(10);
    }
    return INVALID_HANDLE_VALUE;
}

bool AppendRecord(const std::string& path, const std::string& record, long holdMs,
                  const std::string& times)
{
    bool ok = false;
    {
        const peers::FileHandle file(OpenForAppend(path));
        if (!file.Valid())
            return false;
        // The header goes into a new (empty) file only.
        LARGE_INTEGER size{};
        ::GetFileSizeEx(file.Get(), &size);
        const std::string bytes = (size.QuadPart == 0 ? std::string(kHeader) : std::string()) + record + "\r\n";
        ::SetFilePointer(file.Get(), 0, nullptr, FILE_END);
        DWORD written = 0;
        ok = ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size();
        if (holdMs > 0)
            ::Sleep(static_cast<DWORD>(holdMs));
    }
    if (!times.empty())
        peers::AppendToFile(times, std::to_string(peers::PreciseNow()) + "\n");
    return ok;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "Qt5QWindowIcon";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    if (!::RegisterClassA(&wc))
        return 1;
    const HWND window = ::CreateWindowA("Qt5QWindowIcon", "WSJT-X (test peer)", WS_OVERLAPPEDWINDOW,
                                        400, 450, 260, 120, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ::ShowWindow(window, SW_SHOWNOACTIVATE);

    const std::string log = peers::Option("--log");
    const std::string list = peers::Option("--append");
    int status = 0;
    const bool windowOnly = peers::Flag("--window-only");
    if (!windowOnly && !log.empty() && !list.empty()) {
        std::ifstream in(list, std::ios::binary);
        std::vector<std::string> records;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                records.push_back(line);
        }
        const long gapMin = peers::NumberOption("--gap-min-ms", 0);
        const long gapMax = peers::NumberOption("--gap-max-ms", gapMin);
        std::mt19937 random(static_cast<unsigned>(peers::NumberOption("--seed", 1)));
        std::uniform_int_distribution<long> gap(gapMin, gapMax < gapMin ? gapMin : gapMax);
        for (const std::string& record : records) {
            const DWORD until = ::GetTickCount() + static_cast<DWORD>(gap(random));
            while (static_cast<LONG>(until - ::GetTickCount()) > 0) {
                Pump();
                ::Sleep(5);
            }
            if (!AppendRecord(log, record, peers::NumberOption("--hold-ms", 0),
                              peers::Option("--times")))
                status = 2;
        }
    }
    if (windowOnly || list.empty() || peers::Flag("--stay")) {
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return status;
}
