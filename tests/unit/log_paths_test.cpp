// Where the bridge looks for the WSJT-X log.

#include "log_paths.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace plovik {
namespace {

const std::string kAppData = "C:\\users\\op\\AppData\\Local";

LogPaths Choose(std::optional<std::string> user, std::set<std::string> folders,
                const std::string& appData = kAppData)
{
    return ChooseLogPaths(
        user, [&](const std::string& f) { return folders.count(f) != 0; }, appData);
}

TEST(LogPaths, OlderLayoutWhenItsFolderExists)
{
    const LogPaths p =
        Choose("op", {"C:\\Documents and Settings\\op\\Local Settings\\Application Data"});
    EXPECT_EQ(
        p.m_strLogPath,
        "C:\\Documents and Settings\\op\\Local Settings\\Application Data\\WSJT-X\\wsjtx_log.adi");
    EXPECT_EQ(p.m_strBakPath, "C:\\Documents and Settings\\op\\Local Settings\\Application "
                              "Data\\WSJT-X\\wsjtx_log_bak.adi");
}

TEST(LogPaths, LocalAppDataOtherwise)
{
    struct Case {
        std::optional<std::string> user;
        std::set<std::string> folders;
    };
    const Case cases[] = {
        {std::string("op"), {}},
        {std::string("op"),
         {"C:\\Documents and Settings\\other\\Local Settings\\Application Data"}},
        {std::nullopt, {"C:\\Documents and Settings\\\\Local Settings\\Application Data"}},
        {std::string(""), {"C:\\Documents and Settings\\\\Local Settings\\Application Data"}},
    };
    for (const Case& c : cases) {
        const LogPaths p = Choose(c.user, c.folders);
        EXPECT_EQ(p.m_strLogPath, kAppData + "\\WSJT-X\\wsjtx_log.adi");
        EXPECT_EQ(p.m_strBakPath, kAppData + "\\WSJT-X\\wsjtx_log_bak.adi");
    }
}

TEST(LogPaths, LongLogonNamesAndNoAppDataFolder)
{
    const std::string longName(256, 'u');
    const LogPaths p = Choose(longName, {}, "");
    EXPECT_EQ(p.m_strLogPath, "C:\\Documents and Settings\\" + longName +
                                  "\\Local Settings\\Application Data\\WSJT-X\\wsjtx_log.adi");
}

} // namespace
} // namespace plovik
