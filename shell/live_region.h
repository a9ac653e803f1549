#pragma once
// The form's texts that change without the focus (the status line, the two
// lights) as polite live regions: a screen reader speaks a change of such a
// control when its turn comes, where it passes over a mere change of name.

#include "com_owners.h"

#include <windows.h>

#include <vector>

struct IAccPropServices;

class LiveRegions {
public:
    // Out of line: the service's interface is known only there.
    LiveRegions();
    ~LiveRegions();
    LiveRegions(const LiveRegions&) = delete;
    LiveRegions& operator=(const LiveRegions&) = delete;

    // `control` has just been given a new text: marked as a polite live
    // region (once), the change of name is announced, then the live
    // region's change. Not every system announces a static control's new
    // text by itself.
    void Announce(HWND control);

private:
    void Add(HWND control);

    bool m_bTried = false;
    plovik::win32::ComApartment m_com; // before the service: released after it
    plovik::win32::UniqueCom<IAccPropServices> m_services;
    std::vector<HWND> m_controls;
};
