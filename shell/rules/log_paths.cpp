#include "log_paths.h"

namespace plovik {

LogPaths ChooseLogPaths(const std::optional<std::string>& userName,
                        const std::function<bool(const std::string& folder)>& folderExists,
                        const std::string& localAppData)
{
    std::string base;
    if (userName && !userName->empty()) {
        const std::string xpFolder = kDocumentsAndSettings + *userName + kXpAppDataTail;
        if (folderExists(xpFolder) || localAppData.empty())
            base = xpFolder;
    }
    if (base.empty())
        base = localAppData;
    const std::string folder = base + "\\WSJT-X\\";
    return LogPaths{folder + "wsjtx_log.adi", folder + "wsjtx_log_bak.adi"};
}

} // namespace plovik
