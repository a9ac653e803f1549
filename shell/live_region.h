#pragma once
// The form's texts that change without the focus (the status line, the two
// lights) as polite live regions: a screen reader speaks a change of such a
// control when its turn comes, where it passes over a mere change of name.

#include <windows.h>

#include <vector>

struct IAccPropServices;

class LiveRegions {
public:
    LiveRegions() = default;
    ~LiveRegions();
    LiveRegions(const LiveRegions&) = delete;
    LiveRegions& operator=(const LiveRegions&) = delete;

    // Marks `control` as a polite live region (once per control).
    void Add(HWND control);

    // Tells screen readers that the live region `control` has a new text;
    // after the change of name, which is announced as before.
    static void Changed(HWND control);

private:
    bool m_bTried = false;
    bool m_bCom = false; // this object initialised COM on the thread
    IAccPropServices* m_services = nullptr;
    std::vector<HWND> m_controls;
};
