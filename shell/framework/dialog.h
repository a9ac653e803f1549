#pragma once
// A modal dialog on a dialog template; OK and Cancel close it.

#include "afx.h"

class CDialog {
public:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}

    INT_PTR DoModal(HWND parent);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
};
