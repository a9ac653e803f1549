#pragma once
// What the Windows files share: the wait for another program that holds a
// file a moment, and what a system error means for an open.

#include "files.h"
#include "win_error.h"

#include <windows.h>

#include <string>

namespace plovik::win32 {

// Virus scanners, indexers and backup programs open a new file for a few
// milliseconds, often without sharing its deletion. An outbox operation
// they refuse is tried again in place, in silence, for up to a second: no
// later contact can overtake the file meanwhile, and only a holder that
// keeps it longer is reported.
inline constexpr DWORD kHolderPatienceMs = 1000;
inline constexpr DWORD kHolderPollMs = 10;

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

inline DWORD LastErrorUnless(bool succeeded)
{
    return succeeded ? ERROR_SUCCESS : ::GetLastError();
}

inline bool IsReadOnly(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Absent, in use (by a writer) or failed, with the system's text.
inline OpenResult OpenFailure(DWORD error)
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

} // namespace plovik::win32
