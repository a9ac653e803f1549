// The outbox's folder operations on Windows: made, listed, a file moved,
// removed or appended to. On the disk when a call returns is only what
// Microsoft documents to be: MoveFileExW with MOVEFILE_WRITE_THROUGH, and
// FlushFileBuffers for an append; a new folder and a removal are written
// back by Windows' cache in its own time.

#include "files_win32.h"
#include "system_files.h"
#include "unique_handle.h"
#include "wide.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>

namespace plovik {

namespace {

// The Windows files' own helpers, by their short names.
using namespace win32;

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

} // namespace

FileResult SystemFiles::MakeFolder(const std::string& folder)
{
    const std::wstring wide = win32::Widen(folder);
    if (::CreateDirectoryW(wide.c_str(), nullptr)) {
        FlushNewFolder(wide);
        return {};
    }
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    return FileResult::Failed(ErrorText(error));
}

FolderListing SystemFiles::ListFolder(const std::string& folder)
{
    FolderListing listing;
    WIN32_FIND_DATAW found{};
    const UniqueFind search(::FindFirstFileW(win32::Widen(folder + "\\*").c_str(), &found));
    if (!search) {
        const DWORD error = ::GetLastError();
        const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        listing.status = absent ? ListStatus::Absent : ListStatus::Failed;
        if (!absent)
            listing.reason = ErrorText(error);
        return listing;
    }
    do {
        const std::string name = win32::Narrow(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            listing.names.push_back(name);
        else if (name != "." && name != "..")
            listing.folders.push_back(name);
    } while (::FindNextFileW(search.get(), &found));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES) {
        listing.status = ListStatus::Failed;
        listing.reason = ErrorText(error);
    }
    return listing;
}

FolderListing SystemFiles::ListFoldersNamed(const std::string& folder,
                                            const std::vector<std::string>& prefixes)
{
    // The file system matches the pattern itself, and the basic information
    // leaves out the short names: the cost follows the folders named, not
    // every folder of the profile.
    FolderListing listing;
    for (const std::string& prefix : prefixes) {
        WIN32_FIND_DATAW found{};
        const UniqueFind search(
            ::FindFirstFileExW(win32::Widen(folder + "\\" + prefix + "*").c_str(), FindExInfoBasic,
                               &found, FindExSearchLimitToDirectories, nullptr, 0));
        if (!search) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_NOT_FOUND)
                continue; // none of that name
            const bool absent = error == ERROR_PATH_NOT_FOUND;
            listing.status = absent ? ListStatus::Absent : ListStatus::Failed;
            listing.folders.clear();
            if (!absent)
                listing.reason = ErrorText(error);
            return listing;
        }
        do {
            // Limiting the search to folders is only advice to the file system.
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                listing.folders.push_back(win32::Narrow(found.cFileName));
        } while (::FindNextFileW(search.get(), &found));
        if (const DWORD error = ::GetLastError(); error != ERROR_NO_MORE_FILES) {
            listing.status = ListStatus::Failed;
            listing.reason = ErrorText(error);
            return listing;
        }
    }
    return listing;
}

FileResult SystemFiles::Remove(const std::string& path)
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
        return {};
    return FileResult::Failed(ErrorText(error));
}

FileResult SystemFiles::Append(const std::string& path, const std::string& header,
                               const std::string& text)
{
    // FlushFileBuffers is documented to need GENERIC_WRITE, which also
    // allows writing anywhere: every write names the end of the file
    // instead (an offset of 0xFFFFFFFF in both halves, which WriteFile
    // documents as the same as a handle opened with FILE_APPEND_DATA alone).
    UniqueFile file;
    const DWORD error = WaitingForHolders([&] {
        file = UniqueFile(::CreateFileW(win32::Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        return LastErrorUnless(static_cast<bool>(file));
    });
    LARGE_INTEGER size{};
    if (error != ERROR_SUCCESS || !::GetFileSizeEx(file.get(), &size))
        return FileResult::Failed(ErrorText(error != ERROR_SUCCESS ? error : ::GetLastError()));
    // The file's last line, to see whether a power cut tore it.
    std::string end(static_cast<std::size_t>(std::min<LONGLONG>(size.QuadPart, kTailBytes)), '\0');
    const ULONGLONG from = static_cast<ULONGLONG>(size.QuadPart) - end.size();
    OVERLAPPED atTail{};
    atTail.Offset = static_cast<DWORD>(from);
    atTail.OffsetHigh = static_cast<DWORD>(from >> 32);
    DWORD read = 0;
    if (!end.empty() &&
        (!::ReadFile(file.get(), end.data(), static_cast<DWORD>(end.size()), &read, &atTail) ||
         read != end.size()))
        return FileResult::Failed(ErrorText(::GetLastError()));
    const std::string all = size.QuadPart == 0 ? header + text : TornTailClosing(end) + text;
    OVERLAPPED atTheEnd{};
    atTheEnd.Offset = atTheEnd.OffsetHigh = 0xFFFFFFFF;
    DWORD wrote = 0;
    if (!::WriteFile(file.get(), all.data(), static_cast<DWORD>(all.size()), &wrote, &atTheEnd) ||
        wrote != all.size() || !::FlushFileBuffers(file.get()))
        return FileResult::Failed(ErrorText(::GetLastError()));
    return {};
}

MoveResult SystemFiles::Move(const std::string& from, const std::string& to, HolderWait wait)
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
        return {MoveStatus::Moved, ""};
    // The same errors mean the same as for an open: gone, or held by another.
    OpenResult failed = OpenFailure(error);
    switch (failed.status) {
    case OpenStatus::Absent:
        return {MoveStatus::Absent, std::move(failed.reason)};
    case OpenStatus::InUse:
        return {MoveStatus::InUse, std::move(failed.reason)};
    default:
        return {MoveStatus::Failed, std::move(failed.reason)};
    }
}

} // namespace plovik
