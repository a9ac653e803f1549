#include "plovik_bridge_doc.h"

BOOL CPlovik_bridgeDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

void CPlovik_bridgeDoc::Serialize(bool)
{
    // Nothing to store or load.
}
