#include "win32_platform.h"

#include "system_files.h"

namespace plovik::win32 {

namespace {
// Long enough for a receiver that is merely slow (a send given up while the
// receiver is still handling it would be sent again), short enough that a hung
// one does not freeze the bridge; a hung receiver is given up on at once.
constexpr UINT kSendTimeoutMs = 10000;
} // namespace

OpenResult Win32Platform::OpenLogFile(const std::string& path)
{
    return OpenSystemLogFile(path, FileAccess::ReadAndHandOver);
}

OpenResult Win32Platform::OpenOutboxFile(const std::string& path)
{
    return OpenSystemLogFile(path, FileAccess::ReadOnly);
}

bool Win32Platform::MakeFolder(const std::string& folder, std::string& reason)
{
    return MakeSystemFolder(folder, reason);
}

FolderListing Win32Platform::ListFolder(const std::string& folder)
{
    return ListSystemFolder(folder);
}

bool Win32Platform::RenameFile(const std::string& from, const std::string& to, std::string& reason)
{
    return RenameSystemFile(from, to, reason);
}

bool Win32Platform::RemoveFile(const std::string& path, std::string& reason)
{
    return RemoveSystemFile(path, reason);
}

bool Win32Platform::DrainMessages()
{
    while (!m_bStopping && ::PeekMessageA(&m_msg, nullptr, 0, 0, PM_REMOVE)) {
        if (m_msg.message == WM_QUIT) {
            // Leave it for the main loop, which ends the program.
            ::PostQuitMessage(static_cast<int>(m_msg.wParam));
            m_bStopping = true;
            break;
        }
        ::TranslateMessage(&m_msg);
        ::DispatchMessageA(&m_msg);
    }
    return !m_bStopping;
}

void Win32Platform::ShowMessageBox(const std::string& text)
{
    ::MessageBoxA(m_hMainWnd, text.c_str(), m_appTitle.c_str(), MB_OK);
}

CheckState Win32Platform::GetNoFreqCheck()
{
    return static_cast<CheckState>(::SendMessageA(m_hCheckBox, BM_GETCHECK, 0, 0));
}

SendStatus Win32Platform::SendCopyData(WindowRef receiver, unsigned long kind,
                                       const std::string& data)
{
    const HWND target = reinterpret_cast<HWND>(receiver);
    if (!::IsWindow(target))
        return SendStatus::ReceiverGone;
    COPYDATASTRUCT packet{};
    packet.dwData = kind;
    packet.cbData = static_cast<DWORD>(data.size());
    packet.lpData = const_cast<char*>(data.data());
    DWORD_PTR result = 0;
    // SMTO_ABORTIFHUNG: do not wait at all for a receiver Windows already
    // knows to be hung. Messages sent to the bridge meanwhile are still
    // handled (no SMTO_BLOCK), so other programs are not held up by it.
    if (::SendMessageTimeoutA(target, WM_COPYDATA, reinterpret_cast<WPARAM>(m_hMainWnd),
                              reinterpret_cast<LPARAM>(&packet), SMTO_ABORTIFHUNG | SMTO_NORMAL,
                              kSendTimeoutMs, &result))
        return SendStatus::Delivered;
    return ::IsWindow(target) ? SendStatus::NotDelivered : SendStatus::ReceiverGone;
}

} // namespace plovik::win32
