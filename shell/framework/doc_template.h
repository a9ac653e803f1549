#pragma once
// The single-document template: one document, one frame, one view.

#include "afx.h"

#include <memory>

class CDocument;
class CFrameWnd;
class CFormView;

class CSingleDocTemplate {
public:
    // `resourceId`: the frame's menu, accelerators, icon and first caption;
    // `frameClass`: the window class the frame registers.
    CSingleDocTemplate(UINT resourceId, const char* frameClass, std::unique_ptr<CDocument> document,
                       std::unique_ptr<CFrameWnd> frame, std::unique_ptr<CFormView> view);
    ~CSingleDocTemplate();

    // No path: a new document. Makes the frame's and the view's windows the
    // first time, then runs the view's initial update. Null on failure.
    CDocument* OpenDocumentFile(const char* path);

    CFrameWnd* Frame() const { return m_frame.get(); }

private:
    bool CreateFrame();

    UINT m_resourceId;
    const char* m_frameClass;
    std::unique_ptr<CDocument> m_document;
    std::unique_ptr<CFrameWnd> m_frame;
    std::unique_ptr<CFormView> m_view; // until the frame takes it
};
