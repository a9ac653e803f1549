#include "recent_file_list.h"

#include "unique_handle.h"

namespace {

std::string ValueName(std::size_t index)
{
    return "File" + std::to_string(index + 1);
}

} // namespace

void CRecentFileList::ReadList()
{
    m_files.clear();
    plovik::win32::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, m_key.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return;
    for (UINT i = 0; i < m_size; ++i) {
        char value[MAX_PATH * 2];
        DWORD size = sizeof value;
        DWORD type = 0;
        if (::RegQueryValueExA(key.get(), ValueName(i).c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
            type == REG_SZ && size > 1)
            m_files.emplace_back(value, size - 1);
    }
}

void CRecentFileList::WriteList() const
{
    ::RegDeleteKeyA(HKEY_CURRENT_USER, m_key.c_str());
    if (m_files.empty())
        return;
    plovik::win32::UniqueRegKey key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                          key.put(), nullptr) != ERROR_SUCCESS)
        return; // the recent-file list is a convenience; nothing is lost without it
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        const std::string& value = m_files[i];
        ::RegSetValueExA(key.get(), ValueName(i).c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
    }
}

void CRecentFileList::Add(const std::string& path)
{
    for (auto it = m_files.begin(); it != m_files.end(); ++it) {
        if (::lstrcmpiA(it->c_str(), path.c_str()) == 0) {
            m_files.erase(it);
            break;
        }
    }
    m_files.insert(m_files.begin(), path);
    if (m_files.size() > m_size)
        m_files.resize(m_size);
}
