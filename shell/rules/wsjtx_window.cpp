#include "wsjtx_window.h"

#include <algorithm>
#include <iterator>

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
    // JTDX, WSJT-X's fork, writes the same log; every instance (--rig-name)
    // puts its own name after the program's.
    constexpr std::string_view kTitles[] = {"WSJT-X", "JTDX"};
    return IsQtMainWindowClass(windowClass) &&
           std::any_of(std::begin(kTitles), std::end(kTitles), [&](std::string_view program) {
               return title.substr(0, program.size()) == program;
           });
}

} // namespace plovik
