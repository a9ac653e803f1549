#include "document.h"

#include "reports.h"
#include "unique_handle.h"
#include "wide.h"
#include "win_error.h"

namespace {

// The framework's paths are in the ANSI code page; its boxes take UTF-8.
std::string AnsiToUtf8(const char* text)
{
    const int size = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (size <= 1)
        return std::string();
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], size);
    wide.pop_back(); // the terminating NUL
    return plovik::win32::Narrow(wide);
}

} // namespace

BOOL CDocument::OnOpenDocument(const char* path)
{
    // The document keeps nothing of the file, but it must be readable. It is
    // only read, and shared with every other use, deletion included: the
    // file may be one the bridge moves or removes.
    plovik::win32::UniqueFile file(
        ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        AfxMessageBox(plovik::OpenFailureText(AnsiToUtf8(path), plovik::win32::ErrorText(error)));
        return FALSE;
    }
    return TRUE;
}
