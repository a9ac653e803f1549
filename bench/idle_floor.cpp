// The floor for the bridge's idle cost: a bare Windows program that does,
// once a second, what the one-second tick of the bridge's first design
// does when nothing happens: one message drain, one window search for
// Logvex, one for WSJT-X's window class, and one existence test (open for
// reading, close) per log file. bench/wine.sh runs it beside the idle
// bridge and gives the bridge's CPU time as a ratio of this one's.
//   idle_floor.exe LOG...

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

std::vector<const char*> g_logs;

void Tick()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    volatile HWND logvex = ::FindWindowA("Logvex", nullptr);
    volatile HWND wsjtx = ::FindWindowA("Qt5QWindowIcon", nullptr);
    (void)logvex;
    (void)wsjtx;
    for (const char* log : g_logs)
        if (std::FILE* file = std::fopen(log, "r"))
            std::fclose(file);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        Tick();
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int main(int argc, char** argv)
{
    g_logs.assign(argv + 1, argv + argc);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PlovikIdleFloor";
    if (!::RegisterClassA(&windowClass))
        return 1;
    // Shown, as the bridge's window is.
    const HWND window =
        ::CreateWindowA("PlovikIdleFloor", "idle floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                        200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window || !::SetTimer(window, 1, 1000, nullptr))
        return 1;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
