#pragma once
// The document: a title, an optional path, and a save that writes nothing.

#include "afx.h"

#include <string>

class CDocument {
public:
    virtual ~CDocument() = default;

    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(const char* path);
    virtual void Serialize(bool storing) = 0;
    virtual bool OnCmdMsg(UINT id);

    void SetTitle(const std::string& title);
    const std::string& GetTitle() const { return m_strTitle; }
    void SetPathName(const std::string& path);
    const std::string& GetPathName() const { return m_strPathName; }

private:
    void OnFileSave();

    std::string m_strTitle;
    std::string m_strPathName;
};
