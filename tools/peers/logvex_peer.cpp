// logvex-peer: stands in for Logvex in tests. A top-level window of class
// "Logvex" that records every WM_COPYDATA it receives.
//   --out FILE          for each message: "kind cbData time sender\n", then
//                       exactly cbData bytes, then "\n" (time: receive time in
//                       100-ns units since 1601; sender: wParam)
//   --ready FILE        written once the window exists
//   --slow MS           sleep that long inside the handler
//   --hang-at N         after message N (0: right at start) stop pumping
//   --hang-seconds S    messages for S seconds
//   --close-after N     destroy the window after N messages, then exit
//   --close-when-read PATH  answer nothing until PATH has appeared and gone
//                       again (the bridge read and deleted it, and is about
//                       to send), then destroy the window: the send finds
//                       Logvex gone. Within 5 s, or the bridge sees it hung.
//   --prompt MS         ask the user inside the handler, as Logvex does about
//                       a duplicate: the message is recorded at the start of
//                       the handler (so a second copy sent meanwhile shows),
//                       then messages are pumped for MS ms, as a modal box
//                       does, then the handler returns TRUE; a close asked
//                       for meanwhile follows the prompt. Every message,
//                       unless one of:
//   --prompt-at N       only message N (the first is 1)
//   --prompt-every N    only messages N, 2N, 3N...

#include "peer_args.h"

#include <string>

namespace {

struct Logvex {
    std::string out;
    long slowMs = 0;
    long hangAt = -1;
    long hangSeconds = 0;
    long closeAfter = 0;
    std::string closeWhenRead;
    long promptMs = 0;
    long promptAt = 0;
    long promptEvery = 0;
    long received = 0;
    bool prompting = false;
    bool closeAfterPrompt = false;

    bool PromptsFor(long message) const
    {
        if (promptMs <= 0)
            return false;
        if (promptAt > 0)
            return message == promptAt;
        return promptEvery <= 0 || message % promptEvery == 0;
    }

    // A modal prompt's loop: everything sent or posted to Logvex meanwhile
    // is handled, our own message among them.
    static void Prompt(long ms)
    {
        const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
        for (ULONGLONG now = ::GetTickCount64(); now < end; now = ::GetTickCount64()) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now),
                                        QS_ALLINPUT);
            MSG msg{};
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    ::PostQuitMessage(static_cast<int>(msg.wParam)); // for the main loop
                    return;
                }
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
    }

    void MaybeHang() const
    {
        if (hangAt == received && hangSeconds > 0)
            ::Sleep(static_cast<DWORD>(hangSeconds * 1000));
    }

    // Answers nothing from the start until the file has come and gone, so
    // the bridge's send, made after the delete, cannot come in between. The
    // folder's own record of changes is read, not the file looked at now and
    // then: the bridge reads a small file within a millisecond.
    void CloseWhenRead(HWND window) const
    {
        const std::size_t slash = closeWhenRead.find_last_of('\\');
        const std::wstring folder = plovik::win32::Widen(closeWhenRead.substr(0, slash));
        const std::wstring name = plovik::win32::Widen(closeWhenRead.substr(slash + 1));
        const peers::UniqueFile directory(
            ::CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        bool seen = peers::Exists(closeWhenRead);
        bool gone = false;
        alignas(FILE_NOTIFY_INFORMATION) char buffer[64 * 1024];
        DWORD bytes = 0;
        while (!gone && directory &&
               ::ReadDirectoryChangesW(directory.get(), buffer, sizeof buffer, FALSE,
                                       FILE_NOTIFY_CHANGE_FILE_NAME, &bytes, nullptr, nullptr)) {
            for (DWORD at = 0; bytes > 0 && !gone;) {
                const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer + at);
                const std::wstring changed(info->FileName, info->FileNameLength / sizeof(WCHAR));
                if (::lstrcmpiW(changed.c_str(), name.c_str()) == 0) {
                    if (info->Action == FILE_ACTION_ADDED ||
                        info->Action == FILE_ACTION_RENAMED_NEW_NAME)
                        seen = true;
                    else if (seen)
                        gone = info->Action == FILE_ACTION_REMOVED ||
                               info->Action == FILE_ACTION_RENAMED_OLD_NAME;
                }
                if (info->NextEntryOffset == 0)
                    break;
                at += info->NextEntryOffset;
            }
        }
        ::DestroyWindow(window);
    }

    LRESULT OnCopyData(HWND window, WPARAM sender, const COPYDATASTRUCT& packet)
    {
        const unsigned long long time = peers::PreciseNow();
        std::string record = std::to_string(packet.dwData) + " " + std::to_string(packet.cbData) +
                             " " + std::to_string(time) + " " + std::to_string(sender) + "\n";
        record.append(static_cast<const char*>(packet.lpData), packet.cbData);
        record += "\n";
        const bool prompt = PromptsFor(received + 1);
        if (prompt && !out.empty())
            peers::AppendToFile(out, record);
        if (slowMs > 0)
            ::Sleep(static_cast<DWORD>(slowMs));
        if (!prompt && !out.empty())
            peers::AppendToFile(out, record);
        ++received;
        if (prompt) {
            // As Logvex's own prompt would, it holds back a close until the
            // user has answered: the contact it asks about is then logged.
            prompting = true;
            Prompt(promptMs);
            prompting = false;
            if (closeAfterPrompt)
                ::PostMessageA(window, WM_CLOSE, 0, 0);
        }
        if (closeAfter > 0 && received >= closeAfter)
            ::PostMessageA(window, WM_CLOSE, 0, 0);
        else if (hangAt == received)
            ::PostMessageA(window, WM_APP, 0, 0); // hang once this send has returned
        return TRUE;
    }
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Logvex*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_COPYDATA:
        return self->OnCopyData(window, wParam, *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_APP:
        self->MaybeHang();
        return 0;
    case WM_CLOSE:
        if (self && self->prompting) {
            self->closeAfterPrompt = true;
            return 0;
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    Logvex logvex;
    logvex.out = peers::Option("--out");
    logvex.slowMs = peers::NumberOption("--slow", 0);
    logvex.hangAt = peers::NumberOption("--hang-at", -1);
    logvex.hangSeconds = peers::NumberOption("--hang-seconds", 0);
    logvex.closeAfter = peers::NumberOption("--close-after", 0);
    logvex.closeWhenRead = peers::Option("--close-when-read");
    logvex.promptMs = peers::NumberOption("--prompt", 0);
    logvex.promptAt = peers::NumberOption("--prompt-at", 0);
    logvex.promptEvery = peers::NumberOption("--prompt-every", 0);

    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "Logvex";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    if (!::RegisterClassA(&wc))
        return 1;
    const HWND window = ::CreateWindowA("Logvex", "Logvex (test peer)", WS_OVERLAPPEDWINDOW, 400,
                                        300, 260, 120, nullptr, nullptr, instance, &logvex);
    if (!window)
        return 1;
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    const std::string ready = peers::Option("--ready");
    if (!ready.empty())
        peers::AppendToFile(ready, "ready\n");
    logvex.MaybeHang();
    if (!logvex.closeWhenRead.empty())
        logvex.CloseWhenRead(window);
    return peers::RunMessageLoop();
}
