#pragma once
// A view that shows a dialog template as a child of the frame, with
// dialog data exchange, and the small control classes the program uses.

#include "afx.h"

#include <cstddef>
#include <vector>

class CDocument;
class CFrameWnd;

class CStatic {
public:
    HWND m_hWnd = nullptr;
    // The picture already shown is not set again: setting it repaints the
    // control, and the lights are set on every one-second tick, picture
    // changed or not; that repaint was most of the bridge's idle CPU.
    HBITMAP SetBitmap(HBITMAP bitmap)
    {
        const auto shown =
            reinterpret_cast<HBITMAP>(::SendMessageA(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0));
        if (shown == bitmap)
            return shown;
        return reinterpret_cast<HBITMAP>(
            ::SendMessageA(m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
};

class CDataExchange {
public:
    CDataExchange(HWND dialog, BOOL saveAndValidate)
        : m_hDialog(dialog), m_bSaveAndValidate(saveAndValidate)
    {
    }
    HWND m_hDialog;
    BOOL m_bSaveAndValidate;
};

void DDX_Control(CDataExchange* pDX, int id, CStatic& control);
void DDX_Check(CDataExchange* pDX, int id, int& value);

class CFormView {
public:
    explicit CFormView(UINT templateId) : m_templateId(templateId) {}
    virtual ~CFormView();
    CFormView(const CFormView&) = delete;
    CFormView& operator=(const CFormView&) = delete;

    bool Create(CFrameWnd* frame, CDocument* document);

    virtual void OnInitialUpdate();
    virtual void OnUpdate(CFormView* sender, LPARAM hint, void* hintObject);
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    // Asked before the frame closes; false postpones the close.
    virtual bool CanCloseFrame() { return true; }
    // Called before every wait of the message loop: brings the view's watch
    // up to date (it may open or close handles) and returns the kernel
    // objects to wait on besides messages (at most MAXIMUM_WAIT_OBJECTS - 1);
    // then what to do when the one at `index` is signalled.
    virtual std::vector<HANDLE> RefreshWatch() { return {}; }
    virtual void OnWatchSignalled(std::size_t index) { (void)index; }

    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    // Shrinks the frame around the form; it never grows it.
    void ResizeParentToFit();
    CFrameWnd* GetParentFrame() const { return m_frame; }
    CDocument* GetDocument() const { return m_document; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND GetSafeHwnd() const { return m_hWnd; }

protected:
    // Messages of the form; returns whether it was handled (the dialog
    // manager's default handling runs otherwise).
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    CFrameWnd* m_frame = nullptr;
    CDocument* m_document = nullptr;
    SIZE m_formSize{};
};
