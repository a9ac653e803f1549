#pragma once
// The single-document template: one document, one frame, one view.

#include "afx.h"

#include <functional>
#include <memory>

class CDocument;
class CFrameWnd;
class CFormView;

class CSingleDocTemplate {
public:
    using DocumentFactory = std::function<std::unique_ptr<CDocument>()>;
    using FrameFactory = std::function<std::unique_ptr<CFrameWnd>()>;
    using ViewFactory = std::function<std::unique_ptr<CFormView>()>;

    CSingleDocTemplate(UINT resourceId, DocumentFactory document, FrameFactory frame,
                       ViewFactory view);
    ~CSingleDocTemplate();

    // No path: a new document. Creates document, frame and view the first
    // time, then runs the view's initial update. Null on failure.
    CDocument* OpenDocumentFile(const char* path);

    CFrameWnd* Frame() const { return m_frame.get(); }
    CDocument* Document() const { return m_document.get(); }

private:
    bool CreateFrame();

    UINT m_resourceId;
    DocumentFactory m_newDocument;
    FrameFactory m_newFrame;
    ViewFactory m_newView;
    std::unique_ptr<CDocument> m_document;
    std::unique_ptr<CFrameWnd> m_frame;
};
