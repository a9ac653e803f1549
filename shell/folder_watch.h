#pragma once
// Change notifications on the folders the bridge watches, so a contact is
// taken at once rather than at the next tick. The message loop waits on
// them together with its queue: MsgWaitForMultipleObjects takes 63 handles
// besides the queue. The first goes to the folder that holds the instance
// folders (a new one, a new rig, is seen at once), the rest to the
// instance folders in the order they were found; past that, a folder is
// served by the one-second tick alone.

#include "transfer.h"
#include "unique_handle.h"

#include <windows.h>

#include <string>
#include <vector>

bool FolderExists(const std::string& folder);

// Whether two paths name one folder: on current Windows the old per-user
// layout's folder is a junction to the local application data.
bool IsSameFolder(const std::string& a, const std::string& b);

class FolderWatch {
public:
    static constexpr std::size_t kMostHandles = MAXIMUM_WAIT_OBJECTS - 1;

    // Watches the transfer's folders (a notification each) and `parent`
    // (for folders made or removed in it), opening what is missing and
    // letting go of what is gone. Returns the handles to wait on.
    const std::vector<HANDLE>& Refresh(const std::string& parent, const plovik::Transfer& transfer);

    // The handle at `index` of the last Refresh was signalled: armed again,
    // or let go when its folder is gone.
    void Signalled(std::size_t index);

    // Whether the folders in the parent may have changed since the last
    // call: its notification fired, or was opened (what happened before is
    // not known); where it cannot be watched, every kBackstopMs.
    bool ParentMayHaveChanged();
    static constexpr ULONGLONG kBackstopMs = 10000;

private:
    struct Watch {
        std::string folder;
        bool forFolders = false; // watches the folders in it, not the files
        plovik::win32::UniqueChangeNotification handle;
    };

    void Keep(const std::string& folder, bool forFolders);

    std::vector<Watch> m_watches;
    std::vector<HANDLE> m_handles;
    bool m_bParentChanged = false;
    ULONGLONG m_lastBackstop = 0;
    ULONGLONG m_lastExistenceCheck = 0;
};
