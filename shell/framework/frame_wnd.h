#pragma once
// The main frame: an overlapped window with the menu, accelerators and
// icon of its resource id, whose only client window is the view.

#include "afx.h"
#include "unique_handle.h"

#include <memory>
#include <string>

class CFormView;

class CFrameWnd {
public:
    CFrameWnd() = default;
    virtual ~CFrameWnd();
    CFrameWnd(const CFrameWnd&) = delete;
    CFrameWnd& operator=(const CFrameWnd&) = delete;

    // Registers the window class `className` (once), then makes the window;
    // its caption starts as the first field of the resource's string.
    bool LoadFrame(UINT resourceId, const char* className);
    void SetView(std::unique_ptr<CFormView> view);
    CFormView* GetActiveView() const { return m_view.get(); }

    // Accelerators and the view's dialog keys; true when `msg` was used.
    bool PreTranslateMessage(MSG* msg);
    void RecalcLayout();
    void SetWindowText(const std::string& text);
    HWND GetSafeHwnd() const { return m_hWnd; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnClose();

    HWND m_hWnd = nullptr;
    HACCEL m_hAccel = nullptr; // resource accelerators are freed with the module
    // The icons at the sizes Windows shows them at the screen's scale.
    using UniqueIcon =
        plovik::win32::UniqueHandle<plovik::win32::HandleTraits<HICON, ::DestroyIcon>>;
    UniqueIcon m_largeIcon;
    UniqueIcon m_smallIcon;
    std::unique_ptr<CFormView> m_view;
};
