// The files on Windows. The log is opened with read sharing only, so WSJT-X
// cannot append while it is held, and moved into the outbox through the
// open handle, so nothing can be appended between the check and the move.
//
// On the disk when a call returns is only what Microsoft documents to be:
// a MoveFileExW with MOVEFILE_WRITE_THROUGH returns only once the file has
// actually been moved on the disk, and FlushFileBuffers (on a handle with
// GENERIC_WRITE) writes all of a file's buffered information to the device.
// For a rename through a handle, a DeleteFileW or a CreateDirectoryW no such
// moment is documented: Windows' cache writes them back in its own time.

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

// Virus scanners, indexers and backup programs open a new file for a few
// milliseconds, often without sharing its deletion. An outbox operation
// they refuse is tried again in place, in silence, for up to a second: no
// later contact can overtake the file meanwhile, and only a holder that
// keeps it longer is reported.
constexpr DWORD kHolderPatienceMs = 1000;
constexpr DWORD kHolderPollMs = 10;

// Runs `attempt` (ERROR_SUCCESS, or why it failed) again while another
// program holds the file, up to the patience; returns the last result.
template <typename Attempt> DWORD WaitingForHolders(Attempt attempt)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD error = attempt();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (!held || ::GetTickCount() - start >= kHolderPatienceMs)
            return error;
        ::Sleep(kHolderPollMs);
    }
}

DWORD LastErrorUnless(bool succeeded)
{
    return succeeded ? ERROR_SUCCESS : ::GetLastError();
}

bool IsReadOnly(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Writes the moved file's buffered information to the disk, through a
// handle of its own (the take's has no write access). A read-only file cannot be opened for
// writing: it is left to Windows' cache, which writes it back in its own
// time, so a power cut soon after its take may lose it. That is no failure
// of the move, nor worth a box: the contact is in the outbox and is sent.
void FlushMovedFile(const std::wstring& path)
{
    UniqueFile file;
    const DWORD error = WaitingForHolders([&] {
        const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD opened = LastErrorUnless(handle != INVALID_HANDLE_VALUE);
        file = UniqueFile(handle);
        return opened == ERROR_ACCESS_DENIED && IsReadOnly(path) ? ERROR_FILE_READ_ONLY : opened;
    });
    // Past the move nothing can be undone, and the engine has no use for a
    // reason: a file that cannot be flushed is, like a read-only one, on the
    // disk when Windows writes it back.
    if (error == ERROR_SUCCESS)
        ::FlushFileBuffers(file.get());
}

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
        // No moment is documented at which this rename is on the disk; the
        // file's own buffered information is flushed, as far as Windows goes,
        // not the outbox folder that now lists it.
        if (moved)
            FlushMovedFile(win32::Widen(target));
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

// Microsoft documents FlushFileBuffers for files and volumes, not folders.
// A new folder and its parent, which now lists it, are flushed through
// folder handles all the same where the file system takes them; a refusal
// leaves them to Windows' cache, as any folder change is: the folder is
// made, and that is all the caller asks.
void FlushNewFolder(const std::wstring& folder)
{
    const std::size_t slash = folder.find_last_of(L"\\/");
    for (const std::wstring& path :
         {folder, slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash)}) {
        if (path.empty())
            continue;
        const UniqueFile handle(::CreateFileW(
            path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (handle)
            ::FlushFileBuffers(handle.get());
    }
}

OpenResult Opened(UniqueFile file, bool canHandOver)
{
    OpenResult result;
    result.status = OpenStatus::Opened;
    result.file = std::make_unique<Win32LogFile>(std::move(file), canHandOver);
    return result;
}

} // namespace

OpenResult SystemFiles::OpenForReading(const std::string& path)
{
    UniqueFile file;
    const DWORD error = WaitingForHolders([&] {
        UniqueFile opened =
            Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        const DWORD failed = LastErrorUnless(static_cast<bool>(opened));
        file = std::move(opened);
        return failed;
    });
    return file ? Opened(std::move(file), false) : Failure(error);
}

OpenResult SystemFiles::OpenForTaking(const std::string& path)
{
    UniqueFile file = Open(path, GENERIC_READ | DELETE, FILE_SHARE_READ);
    if (file)
        return Opened(std::move(file), true);
    const DWORD error = ::GetLastError();
    if (error != ERROR_SHARING_VIOLATION)
        return Failure(error);
    // Either a writer holds the file (WSJT-X appending: try again later), or
    // a reader that does not share deletion. Only in the second case can the
    // file be opened without delete access.
    if (!Open(path, GENERIC_READ, FILE_SHARE_READ))
        return Failure(::GetLastError());
    OpenResult held = Failure(ERROR_SHARING_VIOLATION);
    held.status = OpenStatus::Held;
    return held;
}

bool SystemFiles::MakeFolder(const std::string& folder, std::string& reason)
{
    const std::wstring wide = win32::Widen(folder);
    if (::CreateDirectoryW(wide.c_str(), nullptr)) {
        FlushNewFolder(wide);
        return true;
    }
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    reason = ErrorText(error);
    return false;
}

FolderListing SystemFiles::ListFolder(const std::string& folder)
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
        const std::string name = win32::Narrow(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            listing.names.push_back(name);
        else if (name != "." && name != "..")
            listing.folders.push_back(name);
    } while (::FindNextFileW(search, &found));
    const DWORD error = ::GetLastError();
    ::FindClose(search);
    if (error != ERROR_NO_MORE_FILES) {
        listing.ok = false;
        listing.reason = ErrorText(error);
    }
    return listing;
}

bool SystemFiles::Remove(const std::string& path, std::string& reason)
{
    // Windows documents no moment at which a deletion is on the disk: after
    // a power cut the file may be back, under the name it had.
    const std::wstring wide = win32::Widen(path);
    const DWORD error = WaitingForHolders([&] {
        if (::DeleteFileW(wide.c_str()))
            return static_cast<DWORD>(ERROR_SUCCESS);
        const DWORD failed = ::GetLastError();
        // A log file marked read-only moves into the outbox all the same; once
        // it is ours and delivered, the mark must not keep it there for ever.
        if (failed != ERROR_ACCESS_DENIED || !IsReadOnly(wide))
            return failed;
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        if (!::SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
            return ::GetLastError();
        return LastErrorUnless(::DeleteFileW(wide.c_str()) != 0);
    });
    if (error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND)
        return true;
    reason = ErrorText(error);
    return false;
}

bool SystemFiles::Append(const std::string& path, const std::string& header,
                         const std::string& text, std::string& reason)
{
    UniqueFile file;
    const DWORD error = WaitingForHolders([&] {
        file = UniqueFile(::CreateFileW(win32::Widen(path).c_str(), FILE_APPEND_DATA,
                                        FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        return LastErrorUnless(static_cast<bool>(file));
    });
    LARGE_INTEGER size{};
    if (error != ERROR_SUCCESS || !::GetFileSizeEx(file.get(), &size)) {
        reason = ErrorText(error != ERROR_SUCCESS ? error : ::GetLastError());
        return false;
    }
    const std::string all = size.QuadPart == 0 ? header + text : text;
    DWORD wrote = 0;
    if (!::WriteFile(file.get(), all.data(), static_cast<DWORD>(all.size()), &wrote, nullptr) ||
        wrote != all.size() || !::FlushFileBuffers(file.get())) {
        reason = ErrorText(::GetLastError());
        return false;
    }
    return true;
}

MoveStatus SystemFiles::Move(const std::string& from, const std::string& to, HolderWait wait,
                             std::string& reason)
{
    // Write-through: the call returns once the file has actually been moved
    // on the disk. No MOVEFILE_REPLACE_EXISTING: a file of the new name is
    // never replaced.
    const std::wstring wideFrom = win32::Widen(from), wideTo = win32::Widen(to);
    const auto attempt = [&] {
        return LastErrorUnless(
            ::MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_WRITE_THROUGH) != 0);
    };
    const DWORD error = wait == HolderWait::UpToASecond ? WaitingForHolders(attempt) : attempt();
    if (error == ERROR_SUCCESS)
        return MoveStatus::Moved;
    // The same errors mean the same as for an open: gone, or held by another.
    OpenResult failed = Failure(error);
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
