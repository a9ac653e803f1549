#pragma once
// A modal dialog on a dialog template; OK and Cancel close it.

#include "afx.h"

class CDialog {
public:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}
    virtual ~CDialog() = default;

    INT_PTR DoModal(HWND parent);

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    UINT m_templateId;
};
