#include "doc_template.h"

#include "document.h"
#include "form_view.h"
#include "frame_wnd.h"
#include "win_app.h"

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, DocumentFactory document,
                                       FrameFactory frame, ViewFactory view)
    : m_resourceId(resourceId), m_newDocument(std::move(document)), m_newFrame(std::move(frame)),
      m_newView(std::move(view))
{
}

CSingleDocTemplate::~CSingleDocTemplate() = default;

bool CSingleDocTemplate::CreateFrame()
{
    std::unique_ptr<CFrameWnd> frame = m_newFrame();
    if (!frame->LoadFrame(m_resourceId, m_document.get()))
        return false;
    std::unique_ptr<CFormView> view = m_newView();
    if (!view->Create(frame.get(), m_document.get()))
        return false;
    frame->SetView(std::move(view));
    m_frame = std::move(frame);
    return true;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* path)
{
    if (!m_document)
        m_document = m_newDocument();
    if (!m_frame && !CreateFrame())
        return nullptr;
    const BOOL loaded = path ? m_document->OnOpenDocument(path) : m_document->OnNewDocument();
    if (!loaded)
        return nullptr;
    if (path)
        m_document->SetPathName(path);
    // The view starts again on every new or opened document.
    m_frame->GetActiveView()->OnInitialUpdate();
    return m_document.get();
}
