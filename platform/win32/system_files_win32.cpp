// The log file on Windows: opened with read sharing only, so WSJT-X cannot
// append while it is held, and moved into the outbox through the open
// handle, so nothing can be appended between the check and the move.

#include "system_files.h"
#include "unique_handle.h"
#include "wide.h"
#include "win_error.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace plovik {

namespace {

using win32::ErrorText;
using win32::UniqueFile;

class Win32LogFile : public LogFile {
public:
    Win32LogFile(UniqueFile file, bool canHandOver)
        : m_file(std::move(file)), m_bCanHandOver(canHandOver)
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

    bool HandOverAndClose(const std::string& target, std::string& reason) override
    {
        bool moved = false;
        if (!m_bCanHandOver) {
            reason = win32::ErrorText(ERROR_ACCESS_DENIED);
        } else {
            // The rename needs the DELETE access the open took; an absolute
            // path is accepted as the new name. Never replace a file there.
            const std::wstring name = win32::Widen(target);
            std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) +
                                              name.size() * sizeof(wchar_t));
            auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
            info->ReplaceIfExists = FALSE;
            info->RootDirectory = nullptr;
            info->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
            std::memcpy(info->FileName, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
            moved = ::SetFileInformationByHandle(m_file.get(), FileRenameInfo, info,
                                                 static_cast<DWORD>(buffer.size())) != 0;
            if (!moved)
                reason = win32::ErrorText(::GetLastError());
        }
        m_file.reset();
        return moved;
    }

    std::string ErrorText() const override { return win32::ErrorText(m_lastError); }

private:
    UniqueFile m_file;
    bool m_bCanHandOver;
    DWORD m_lastError = 0;
};

UniqueFile Open(const std::string& path, DWORD access, DWORD share)
{
    return UniqueFile(::CreateFileW(win32::Widen(path).c_str(), access, share, nullptr,
                                    OPEN_EXISTING,
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

// A reader that keeps the file from being moved is mostly one that lets go
// within milliseconds (a scanner, an indexer): it is waited for in silence
// like a writer. Only one that holds on for a second is reported.
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

OpenResult Opened(UniqueFile file, bool canHandOver)
{
    OpenResult result;
    result.status = OpenStatus::Opened;
    result.file = std::make_unique<Win32LogFile>(std::move(file), canHandOver);
    return result;
}

} // namespace

OpenResult OpenSystemLogFile(const std::string& path, FileAccess access)
{
    if (access == FileAccess::ReadOnly) {
        UniqueFile file =
            Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        return file ? Opened(std::move(file), false) : Failure(::GetLastError());
    }
    UniqueFile file = Open(path, GENERIC_READ | DELETE, FILE_SHARE_READ);
    const DWORD error = file ? ERROR_SUCCESS : ::GetLastError();
    if (error != ERROR_SHARING_VIOLATION)
        g_readerPatience.Reset();
    if (file)
        return Opened(std::move(file), true);
    if (error != ERROR_SHARING_VIOLATION)
        return Failure(error);
    // Either a writer holds the file (WSJT-X appending: try again later), or
    // a reader that does not share deletion. Only in the second case can the
    // file be opened without delete access; once that reader has held on
    // past its time, it is reported rather than waited for in silence
    // forever (the file stays and is tried again).
    if (!Open(path, GENERIC_READ, FILE_SHARE_READ))
        return Failure(::GetLastError());
    if (!g_readerPatience.Over(path))
        return Failure(ERROR_SHARING_VIOLATION);
    OpenResult held = Failure(ERROR_SHARING_VIOLATION);
    held.status = OpenStatus::Failed;
    return held;
}

bool MakeSystemFolder(const std::string& folder, std::string& reason)
{
    if (::CreateDirectoryW(win32::Widen(folder).c_str(), nullptr))
        return true;
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(win32::Widen(folder).c_str());
    if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    reason = ErrorText(error);
    return false;
}

FolderListing ListSystemFolder(const std::string& folder)
{
    FolderListing listing;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(win32::Widen(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        listing.ok = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        listing.exists = !listing.ok;
        if (!listing.ok)
            listing.reason = ErrorText(error);
        return listing;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            listing.names.push_back(win32::Narrow(found.cFileName));
    } while (::FindNextFileW(search, &found));
    const DWORD error = ::GetLastError();
    ::FindClose(search);
    if (error != ERROR_NO_MORE_FILES) {
        listing.ok = false;
        listing.reason = ErrorText(error);
    }
    return listing;
}

bool RenameSystemFile(const std::string& from, const std::string& to, std::string& reason)
{
    return MoveSystemFileAside(from, to, reason) == MoveStatus::Moved;
}

bool RemoveSystemFile(const std::string& path, std::string& reason)
{
    const std::wstring wide = win32::Widen(path);
    if (::DeleteFileW(wide.c_str()))
        return true;
    DWORD error = ::GetLastError();
    // A log file marked read-only moves into the outbox all the same; once
    // it is ours and delivered, the mark must not keep it there for ever.
    if (error == ERROR_ACCESS_DENIED) {
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
            ::SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) &&
            ::DeleteFileW(wide.c_str()))
            return true;
        error = ::GetLastError();
    }
    if (error == ERROR_FILE_NOT_FOUND)
        return true;
    reason = ErrorText(error);
    return false;
}

MoveStatus MoveSystemFileAside(const std::string& from, const std::string& to, std::string& reason)
{
    // Write-through: the call returns once the new name is on the disk. No
    // MOVEFILE_REPLACE_EXISTING: a file of the new name is never replaced.
    if (::MoveFileExW(win32::Widen(from).c_str(), win32::Widen(to).c_str(), MOVEFILE_WRITE_THROUGH))
        return MoveStatus::Moved;
    // The same errors mean the same as for an open: gone, or held by another.
    OpenResult failed = Failure(::GetLastError());
    reason = std::move(failed.reason);
    switch (failed.status) {
    case OpenStatus::Absent:
        return MoveStatus::Absent;
    case OpenStatus::InUse:
        return MoveStatus::InUse;
    default:
        return MoveStatus::Failed;
    }
}

} // namespace plovik
