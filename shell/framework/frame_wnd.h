#pragma once
// The main frame: an overlapped window with the menu, accelerators and
// icon of its resource id, whose only client window is the view.

#include "afx.h"

#include <memory>
#include <string>

class CFormView;
class CDocument;

class CFrameWnd {
public:
    static constexpr const char* kClassName = "PlovikBridgeFrame";

    CFrameWnd() = default;
    virtual ~CFrameWnd();
    CFrameWnd(const CFrameWnd&) = delete;
    CFrameWnd& operator=(const CFrameWnd&) = delete;

    bool LoadFrame(UINT resourceId, CDocument* document);
    void SetView(std::unique_ptr<CFormView> view);
    CFormView* GetActiveView() const { return m_view.get(); }
    CDocument* GetActiveDocument() const { return m_document; }

    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    virtual int OnCreate(LPCREATESTRUCTA cs);
    virtual bool PreTranslateMessage(MSG* msg);

    void RecalcLayout();
    void OnUpdateFrameTitle();
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    HWND GetSafeHwnd() const { return m_hWnd; }

protected:
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(UINT id);
    void OnClose();

    HWND m_hWnd = nullptr;
    HACCEL m_hAccel = nullptr; // resource accelerators are freed with the module
    DWORD m_dwStyle = 0;
    std::string m_strTitle;
    CDocument* m_document = nullptr;
    std::unique_ptr<CFormView> m_view;
};
