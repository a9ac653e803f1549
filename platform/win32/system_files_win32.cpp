// The log file on Windows: opened with read sharing only, so WSJT-X cannot
// append while it is read, and deleted through the open handle, so nothing
// can be appended between the close and the delete.

#include "system_files.h"
#include "unique_handle.h"
#include "win_error.h"

#include <windows.h>

#include <string>
#include <utility>

namespace plovik {

namespace {

using win32::ErrorText;
using win32::UniqueFile;

class Win32LogFile : public LogFile {
public:
    Win32LogFile(UniqueFile file, bool canDelete, bool keepFile)
        : m_file(std::move(file)), m_bCanDelete(canDelete), m_bKeepFile(keepFile)
    {
    }

    ReadStatus Read(char* buffer, std::size_t capacity, std::size_t& count) override
    {
        count = 0;
        const DWORD want = capacity > 0x40000000 ? 0x40000000 : static_cast<DWORD>(capacity);
        DWORD got = 0;
        if (!::ReadFile(m_file.get(), buffer, want, &got, nullptr)) {
            m_lastError = ::GetLastError();
            return ReadStatus::Failed;
        }
        count = got;
        return got ? ReadStatus::Data : ReadStatus::End;
    }

    bool DeleteAndClose(std::string& reason) override
    {
        bool deleted = true;
        if (!m_bKeepFile) {
            if (!m_bCanDelete) {
                // Opened without delete access: another program holds the
                // file open in a way that does not allow it to be deleted.
                reason = win32::ErrorText(ERROR_SHARING_VIOLATION);
                deleted = false;
            } else {
                FILE_DISPOSITION_INFO disposition{};
                disposition.DeleteFile = TRUE;
                if (!::SetFileInformationByHandle(m_file.get(), FileDispositionInfo, &disposition,
                                                  sizeof disposition)) {
                    reason = win32::ErrorText(::GetLastError());
                    deleted = false;
                }
            }
        }
        m_file.reset();
        return deleted;
    }

    std::string ErrorText() const override { return win32::ErrorText(m_lastError); }

private:
    UniqueFile m_file;
    bool m_bCanDelete;
    bool m_bKeepFile;
    DWORD m_lastError = 0;
};

UniqueFile Open(const std::string& path, DWORD access, DWORD share)
{
    return UniqueFile(::CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

OpenResult Failure(DWORD error)
{
    OpenResult result;
    result.reason = ErrorText(error);
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        result.status = OpenStatus::Absent;
        break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        result.status = OpenStatus::InUse;
        break;
    default:
        result.status = OpenStatus::Failed;
    }
    return result;
}

// A reader that keeps the file from being deleted is mostly one that lets
// go within milliseconds (a rename, a scanner, an indexer): it is waited
// for in silence like a writer. Only one that holds on for a second gets the
// file read and its delete reported as failed.
class ReaderPatience {
public:
    static constexpr DWORD kPatienceMs = 1000;

    bool Over(const std::string& path)
    {
        const DWORD now = ::GetTickCount();
        if (!m_bWaiting || m_path != path) {
            m_bWaiting = true;
            m_path = path;
            m_since = now;
        }
        return now - m_since >= kPatienceMs;
    }
    void Reset() { m_bWaiting = false; }

private:
    bool m_bWaiting = false;
    std::string m_path;
    DWORD m_since = 0;
};

// The program has one user-interface thread and one log file.
ReaderPatience g_readerPatience;

OpenResult Opened(UniqueFile file, bool canDelete, bool keepFile)
{
    OpenResult result;
    result.status = OpenStatus::Opened;
    result.file = std::make_unique<Win32LogFile>(std::move(file), canDelete, keepFile);
    return result;
}

} // namespace

OpenResult OpenSystemLogFile(const std::string& path, FileAccess access)
{
    if (access == FileAccess::ReadOnly) {
        UniqueFile file =
            Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        return file ? Opened(std::move(file), false, true) : Failure(::GetLastError());
    }
    UniqueFile file = Open(path, GENERIC_READ | DELETE, FILE_SHARE_READ);
    const DWORD error = file ? ERROR_SUCCESS : ::GetLastError();
    if (error != ERROR_SHARING_VIOLATION)
        g_readerPatience.Reset();
    if (file)
        return Opened(std::move(file), true, false);
    if (error != ERROR_SHARING_VIOLATION)
        return Failure(error);
    // Either a writer holds the file (WSJT-X appending: try again later), or
    // a reader that does not share deletion. Only in the second case can the
    // file be opened without delete access; once that reader has held on
    // past its time, the file is read and its deletion reported as failed,
    // rather than retried in silence forever.
    UniqueFile readOnly = Open(path, GENERIC_READ, FILE_SHARE_READ);
    if (!readOnly)
        return Failure(::GetLastError());
    if (!g_readerPatience.Over(path))
        return Failure(ERROR_SHARING_VIOLATION);
    return Opened(std::move(readOnly), false, false);
}

} // namespace plovik
