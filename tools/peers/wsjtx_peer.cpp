// wsjtx-peer: stands in for WSJT-X in tests. A top-level window (class
// "Qt5QWindowIcon", as older WSJT-X builds register) that can append
// contacts to the log file as WSJT-X 2.6 does: the six-line header when the
// file is new (or empty), then one record per line, CRLF, opened and closed
// for each contact.
//   --class NAME                the window's class, e.g. "Qt5152QWindowIcon"
//                               as Qt 5.15.2 names it
//   --title TEXT                its title (default "WSJT-X (test peer)")
//   --log PATH                  the log file
//   --also-log PATH             another instance's log (a second rig's, JTDX's;
//                               may be repeated): the records go to --log and
//                               each of these in turn
//   --record LINE               a record line to append (may be repeated)
//   --append FILE               more record lines, one a line
//   --gap-min-ms/--gap-max-ms   random pause before each append (default 0)
//   --seed N                    seed of those pauses (default 1)
//   --hold-ms MS                keep the file open that long after writing
//   --times FILE                per contact: "time written\n", the time the
//                               file was closed (100-ns units since 1601), and
//                               1, or 0 when WSJT-X could not log it
//   --stay                      keep the window up after the appends
// Without records it only shows its window, until closed.
// Exit code: 0, or 2 when WSJT-X could not log a contact.

#include "peer_args.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

// As in the WSJT-X 2.6.1 sample logs, byte for byte.
const char* const kHeader = "ADIF Export\r\n<adif_ver:5>3.1.1\r\n"
                            "<created_timestamp:15>20261207 062122\r\n<programid:6>WSJT-X\r\n"
                            "<programversion:5>2.6.1\r\n<eoh>\r\n";

// Tried once, as WSJT-X does: it opens with the sharing of Qt's QFile on
// Windows (read and write), and when that fails (another program holds the
// file with writers shut out: a sharing violation) it shows an error and
// the contact never reaches its file. The peer says so on its error output
// and in --times, and goes on with the next contact.
bool AppendRecord(const std::string& path, const std::string& record, long holdMs,
                  const std::string& times)
{
    bool ok = false;
    {
        const peers::UniqueFile file(::CreateFileW(plovik::win32::Widen(path).c_str(),
                                                   GENERIC_READ | GENERIC_WRITE,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = ::GetLastError();
        if (!file) {
            std::fprintf(stderr, "wsjtx-peer: WSJT-X could not log this contact (error %lu): %s\n",
                         static_cast<unsigned long>(error), record.c_str());
        } else {
            LARGE_INTEGER size{};
            ok = ::GetFileSizeEx(file.get(), &size) &&
                 ::SetFilePointer(file.get(), 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
                 peers::WriteAll(file, (size.QuadPart == 0 ? std::string(kHeader) : std::string()) +
                                           record + "\r\n");
            if (holdMs > 0)
                ::Sleep(static_cast<DWORD>(holdMs));
        }
    }
    if (!times.empty())
        peers::AppendToFile(times, std::to_string(peers::PreciseNow()) + (ok ? " 1\n" : " 0\n"));
    return ok;
}

std::vector<std::string> RecordsToAppend()
{
    std::vector<std::string> records = peers::Options("--record");
    const std::string list = peers::Option("--append");
    if (!list.empty()) {
        std::ifstream in(std::filesystem::u8path(list), std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                records.push_back(line);
        }
    }
    return records;
}

void PumpFor(DWORD ms)
{
    const DWORD until = ::GetTickCount() + ms;
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(ms > 0 ? 5 : 0);
    } while (static_cast<LONG>(until - ::GetTickCount()) > 0);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    const std::wstring windowClass =
        plovik::win32::Widen(peers::Option("--class", "Qt5QWindowIcon"));
    const std::wstring title = plovik::win32::Widen(peers::Option("--title", "WSJT-X (test peer)"));
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = windowClass.c_str();
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    if (!::RegisterClassW(&wc))
        return 1;
    const HWND window = ::CreateWindowW(windowClass.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW,
                                        400, 450, 260, 120, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ::ShowWindow(window, SW_SHOWNOACTIVATE);

    std::vector<std::string> logs = peers::Options("--also-log");
    logs.insert(logs.begin(), peers::Option("--log"));
    const std::vector<std::string> records = RecordsToAppend();
    const long gapMin = peers::NumberOption("--gap-min-ms", 0);
    const long gapMax = peers::NumberOption("--gap-max-ms", gapMin);
    std::mt19937 random(static_cast<unsigned>(peers::NumberOption("--seed", 1)));
    std::uniform_int_distribution<long> gap(gapMin, gapMax < gapMin ? gapMin : gapMax);
    const long holdMs = peers::NumberOption("--hold-ms", 0);
    const std::string times = peers::Option("--times");
    int status = 0;
    for (std::size_t n = 0; n < records.size(); ++n) {
        PumpFor(static_cast<DWORD>(gap(random)));
        const std::string& log = logs[n % logs.size()];
        if (log.empty() || !AppendRecord(log, records[n], holdMs, times))
            status = 2;
    }
    if (records.empty() || peers::Flag("--stay"))
        peers::RunMessageLoop();
    return status;
}
