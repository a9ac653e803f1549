#pragma once
// The document. The bridge keeps no data in it: opening a file only checks
// that it can be read, and nothing is ever saved.

#include "afx.h"

#include <string>

class CDocument {
public:
    virtual ~CDocument() = default;

    // False, after a box saying why, when the file cannot be read.
    BOOL OnOpenDocument(const char* path);
    // Nothing shows the document's title: the frame's caption is the view's own.
    void SetTitle(const std::string&) {}
};
