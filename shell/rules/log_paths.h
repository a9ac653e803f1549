#pragma once
// Where WSJT-X keeps its log file. Portable string logic, so it is tested
// natively; the Windows program supplies the system facts.

#include <functional>
#include <optional>
#include <string>

namespace plovik {

struct LogPaths {
    std::string m_strLogPath;
    std::string m_strBakPath;
};

inline constexpr const char* kDocumentsAndSettings = "C:\\Documents and Settings\\";
inline constexpr const char* kXpAppDataTail = "\\Local Settings\\Application Data";

// The per-user folder of the older Windows layout when it exists (Windows
// XP, and later Windows through its compatibility junctions); otherwise the
// user's local application-data folder, which is where WSJT-X writes on
// current Windows. `userName` is empty when the logon name could not be read.
LogPaths ChooseLogPaths(const std::optional<std::string>& userName,
                        const std::function<bool(const std::string& folder)>& folderExists,
                        const std::string& localAppData);

} // namespace plovik
