#include "doc_template.h"

#include "document.h"
#include "form_view.h"
#include "frame_wnd.h"

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, const char* frameClass,
                                       std::unique_ptr<CDocument> document,
                                       std::unique_ptr<CFrameWnd> frame,
                                       std::unique_ptr<CFormView> view)
    : m_resourceId(resourceId), m_frameClass(frameClass), m_document(std::move(document)),
      m_frame(std::move(frame)), m_view(std::move(view))
{
}

CSingleDocTemplate::~CSingleDocTemplate() = default;

bool CSingleDocTemplate::CreateFrame()
{
    if (!m_frame->GetSafeHwnd() && !m_frame->LoadFrame(m_resourceId, m_frameClass))
        return false;
    if (!m_view->Create(m_frame.get(), m_document.get()))
        return false;
    m_frame->SetView(std::move(m_view));
    return true;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* path)
{
    if (m_view && !CreateFrame())
        return nullptr;
    if (path && !m_document->OnOpenDocument(path))
        return nullptr;
    // The view starts again on every new or opened document.
    m_frame->GetActiveView()->OnInitialUpdate();
    return m_document.get();
}
