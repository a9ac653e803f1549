#include "folder_watch.h"

#include "wide.h"

#include <algorithm>
#include <utility>

bool FolderExists(const std::string& folder)
{
    const DWORD attributes = ::GetFileAttributesW(plovik::win32::Widen(folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// The volume and the file index: what names a folder whatever the path.
bool FolderIdentity(const std::string& folder, BY_HANDLE_FILE_INFORMATION& info)
{
    const plovik::win32::UniqueFile handle(
        ::CreateFileW(plovik::win32::Widen(folder).c_str(), 0,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return handle && ::GetFileInformationByHandle(handle.get(), &info);
}

} // namespace

bool IsSameFolder(const std::string& a, const std::string& b)
{
    BY_HANDLE_FILE_INFORMATION infoA{}, infoB{};
    return FolderIdentity(a, infoA) && FolderIdentity(b, infoB) &&
           infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
}

const std::vector<HANDLE>& FolderWatch::Refresh(const std::string& parent,
                                                const plovik::Transfer& transfer)
{
    // A folder deleted while a change notification is open on it stays
    // "delete pending" on Windows, and cannot be made again (by WSJT-X or
    // anyone) until the handle is closed. Windows then ends the watch, which
    // wakes the loop, and the folder no longer opens: let go of it. Looked at
    // before the waits, so a folder that went without waking anyone (as one
    // removed behind Wine's back) is not watched in its old place for ever.
    // Looked at after a wake-up, and else every kBackstopMs, not at every
    // wait: the loop waits at least once a tick, and each look costs the
    // file system a query per folder.
    const ULONGLONG now = ::GetTickCount64();
    if (now - m_lastExistenceCheck >= kBackstopMs) {
        m_lastExistenceCheck = now;
        for (Watch& watch : m_watches)
            if (watch.handle && !FolderExists(watch.folder))
                watch.handle.reset();
    }
    if (!parent.empty())
        Keep(parent, true);
    for (std::size_t i = 0; i < transfer.FolderCount(); ++i)
        Keep(transfer.FolderName(i), false);
    m_handles.clear();
    for (Watch& watch : m_watches) {
        // A folder may appear later (WSJT-X not yet run): tried each time.
        if (!watch.handle) {
            watch.handle.reset(::FindFirstChangeNotificationW(
                plovik::win32::Widen(watch.folder).c_str(), FALSE,
                watch.forFolders ? FILE_NOTIFY_CHANGE_DIR_NAME
                                 : FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
                                       FILE_NOTIFY_CHANGE_SIZE));
            m_bParentChanged = m_bParentChanged || (watch.forFolders && watch.handle);
        }
        if (watch.handle && m_handles.size() < kMostHandles)
            m_handles.push_back(watch.handle.get());
    }
    return m_handles;
}

void FolderWatch::Keep(const std::string& folder, bool forFolders)
{
    const bool known = std::any_of(m_watches.begin(), m_watches.end(), [&](const Watch& watch) {
        return watch.folder == folder && watch.forFolders == forFolders;
    });
    if (!known)
        m_watches.push_back(Watch{folder, forFolders, {}});
}

void FolderWatch::Signalled(std::size_t index)
{
    if (index >= m_handles.size())
        return;
    m_lastExistenceCheck = 0; // the folder may be gone: looked at before the next wait
    for (Watch& watch : m_watches) {
        if (watch.handle.get() != m_handles[index])
            continue;
        m_bParentChanged = m_bParentChanged || watch.forFolders;
        if (!::FindNextChangeNotification(m_handles[index]))
            watch.handle.reset(); // folder gone: watched anew when it is back
    }
}

bool FolderWatch::ParentMayHaveChanged()
{
    const bool watched = std::any_of(m_watches.begin(), m_watches.end(), [](const Watch& watch) {
        return watch.forFolders && watch.handle;
    });
    const ULONGLONG now = ::GetTickCount64();
    if (!watched && now - m_lastBackstop >= kBackstopMs) {
        m_lastBackstop = now;
        return true;
    }
    return std::exchange(m_bParentChanged, false);
}
