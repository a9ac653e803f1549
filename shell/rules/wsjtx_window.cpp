#include "wsjtx_window.h"

#include <algorithm>

namespace plovik {

bool IsQtMainWindowClass(std::string_view windowClass)
{
    constexpr std::string_view kPrefix = "Qt";
    constexpr std::string_view kSuffix = "QWindowIcon";
    if (windowClass.size() < kPrefix.size() + kSuffix.size() ||
        windowClass.substr(0, kPrefix.size()) != kPrefix ||
        windowClass.substr(windowClass.size() - kSuffix.size()) != kSuffix)
        return false;
    std::string_view version =
        windowClass.substr(kPrefix.size(), windowClass.size() - kPrefix.size() - kSuffix.size());
    if (!version.empty() && version.back() == 'd')
        version.remove_suffix(1);
    return !version.empty() &&
           std::all_of(version.begin(), version.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsWsjtxWindow(std::string_view windowClass, std::string_view title)
{
    constexpr std::string_view kTitle = "WSJT-X";
    return IsQtMainWindowClass(windowClass) && title.substr(0, kTitle.size()) == kTitle;
}

} // namespace plovik
