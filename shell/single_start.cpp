#include "single_start.h"

#include "afx.h"
#include "bridge_names.h"
#include "reports.h"
#include "wide.h"
#include "win_error.h"

#include <shlobj.h>

namespace {

// A first copy may still be making its window, or be ending; a scanner may
// hold the new file for a moment.
constexpr DWORD kSettleMs = 5000;
constexpr DWORD kPollMs = 100;

bool BringFirstToFront()
{
    const HWND first = ::FindWindowA(plovik::kFrameClassName, nullptr);
    if (!first)
        return false;
    if (::IsIconic(first))
        ::ShowWindow(first, SW_RESTORE);
    ::SetForegroundWindow(first);
    return true;
}

} // namespace

bool SingleStart::Claim()
{
    wchar_t appData[MAX_PATH] = L"";
    const HRESULT found =
        ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    if (FAILED(found)) {
        AfxMessageBox(plovik::SingleStartFailureText(
            "%LOCALAPPDATA%", plovik::win32::ErrorText(static_cast<DWORD>(found))));
        return false;
    }
    const std::wstring path =
        std::wstring(appData) + L"\\" + plovik::win32::Widen(plovik::kSingleStartLock);
    const DWORD start = ::GetTickCount();
    for (;;) {
        m_lock.reset(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (m_lock)
            return true;
        const DWORD error = ::GetLastError();
        // A first copy run as administrator may hold the file with rights
        // this one lacks: its window tells, as a held file's does.
        if (BringFirstToFront())
            return false;
        if (::GetTickCount() - start >= kSettleMs) {
            AfxMessageBox(error == ERROR_SHARING_VIOLATION
                              ? plovik::RunningElsewhereText()
                              : plovik::SingleStartFailureText(plovik::win32::Narrow(path),
                                                               plovik::win32::ErrorText(error)));
            return false;
        }
        ::Sleep(kPollMs);
    }
}
