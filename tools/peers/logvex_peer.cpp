// logvex-peer: stands in for Logvex in tests. A top-level window of class
// "Logvex" that records every WM_COPYDATA it receives.
//   --out FILE          each message: "kind cbData time100ns\n", the bytes, "\n"
//   --ready FILE        written once the window exists
//   --slow MS           sleep that long inside the handler
//   --hang-at N         after message N (0: at start) stop pumping messages ...
//   --hang-seconds S    ... for S seconds
//   --close-after N     close the window after N messages

#include "peer_args.h"

#include <string>

namespace {

struct Options {
    std::string out;
    long slowMs = 0;
    long hangAt = -1;
    long hangSeconds = 0;
    long closeAfter = 0;
};

Options g_options;
long g_received = 0;

void MaybeHang(long after)
{
    if (g_options.hangAt == after && g_options.hangSeconds > 0)
        ::Sleep(static_cast<DWORD>(g_options.hangSeconds * 1000));
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COPYDATA: {
        const auto* packet = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const unsigned long long received = peers::PreciseNow();
        if (g_options.slowMs > 0)
            ::Sleep(static_cast<DWORD>(g_options.slowMs));
        std::string record = std::to_string(packet->dwData) + " " + std::to_string(packet->cbData) +
                             " " + std::to_string(received) + "\n";
        record.append(static_cast<const char*>(packet->lpData), packet->cbData);
        record += "\n";
        if (!g_options.out.empty())
            peers::AppendToFile(g_options.out, record);
        ++g_received;
        if (g_options.closeAfter > 0 && g_received >= g_options.closeAfter)
            ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
        else if (g_options.hangAt == g_received)
            ::PostMessageA(hwnd, WM_APP, 0, 0); // hang after this handler returns
        return TRUE;
    }
    case WM_APP:
        MaybeHang(g_received);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_options.out = peers::Option("--out");
    g_options.slowMs = peers::NumberOption("--slow", 0);
    g_options.hangAt = peers::NumberOption("--hang-at", -1);
    g_options.hangSeconds = peers::NumberOption("--hang-seconds", 0);
    g_options.closeAfter = peers::NumberOption("--close-after", 0);

    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "Logvex";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    if (!::RegisterClassA(&wc))
        return 1;
    const HWND window = ::CreateWindowA("Logvex", "Logvex (test peer)", WS_OVERLAPPEDWINDOW, 400,
                                        300, 260, 120, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    const std::string ready = peers::Option("--ready");
    if (!ready.empty())
        peers::AppendToFile(ready, "ready\n");
    MaybeHang(0);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
