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

#include "files_win32.h"
#include "system_files.h"
#include "unique_handle.h"
#include "wide.h"
#include "win_error.h"

#include <windows.h>

#include <cstdlib>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace plovik {

namespace {

using win32::ErrorText;
using win32::IsReadOnly;
using win32::LastErrorUnless;
using win32::OpenFailure;
using win32::UniqueFile;
using win32::WaitingForHolders;

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

    FileResult HandOverAndClose(const std::string& target) override
    {
        FileResult moved;
        if (!m_bCanHandOver) {
            moved = FileResult::Failed(win32::ErrorText(ERROR_ACCESS_DENIED));
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
            if (!::SetFileInformationByHandle(m_file.get(), FileRenameInfo, info,
                                              static_cast<DWORD>(buffer.size())))
                moved = FileResult::Failed(win32::ErrorText(::GetLastError()));
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
    return file ? Opened(std::move(file), false) : OpenFailure(error);
}

OpenResult SystemFiles::OpenForTaking(const std::string& path)
{
    UniqueFile file = Open(path, GENERIC_READ | DELETE, FILE_SHARE_READ);
    if (file)
        return Opened(std::move(file), true);
    const DWORD error = ::GetLastError();
    // No log: the answer of nearly every tick. Its text is never shown, and
    // looking it up (FormatMessage) would cost more than the open itself.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        OpenResult absent;
        absent.status = OpenStatus::Absent;
        return absent;
    }
    if (error != ERROR_SHARING_VIOLATION)
        return OpenFailure(error);
    // Either a writer holds the file (WSJT-X appending: try again later), or
    // a reader that does not share deletion. Only in the second case can the
    // file be opened without delete access.
    if (!Open(path, GENERIC_READ, FILE_SHARE_READ))
        return OpenFailure(::GetLastError());
    OpenResult held = OpenFailure(ERROR_SHARING_VIOLATION);
    held.status = OpenStatus::Held;
    return held;
}

UtcSeconds SystemFiles::NowUtc()
{
    // 100 ns intervals since 1601-01-01 UTC.
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr ULONGLONG kSecondsFrom1601To1970 = 11644473600ULL;
    const auto seconds = static_cast<UtcSeconds>(ticks / 10000000ULL - kSecondsFrom1601To1970);
#ifdef PLOVIK_TEST_CLOCK
    // Test builds only, never the release: PLOVIK_BRIDGE_TEST_CLOCK_SPEED=N
    // runs the clock N times as fast from its first reading, so a test sees
    // minutes of waiting in seconds.
    static const UtcSeconds start = seconds;
    static const long speed = [] {
        const char* value = std::getenv("PLOVIK_BRIDGE_TEST_CLOCK_SPEED");
        return value ? std::strtol(value, nullptr, 10) : 1L;
    }();
    if (speed > 1)
        return start + (seconds - start) * speed;
#endif
    return seconds;
}

} // namespace plovik
