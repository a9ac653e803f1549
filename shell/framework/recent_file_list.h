#pragma once
// The recent-file list, kept in the registry under the application's
// settings key: values File1, File2... of its own key.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class CRecentFileList {
public:
    // `key`: the list's key under HKEY_CURRENT_USER; `size`: how many files
    // it keeps at the most.
    CRecentFileList(std::string key, UINT size) : m_key(std::move(key)), m_size(size) {}

    void ReadList();
    // The list replaces what the key held; an empty list leaves no key.
    void WriteList() const;
    // `path` first, once, however it is written in upper or lower case.
    void Add(const std::string& path);

private:
    std::string m_key;
    UINT m_size;
    std::vector<std::string> m_files;
};
