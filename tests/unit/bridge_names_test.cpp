// The single-start mutex's name: one per user across sessions.

#include "bridge_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace plovik {
namespace {

TEST(BridgeNames, OneSingleStartMutexPerUserInTheGlobalNamespace)
{
    struct Case {
        const char* sid;
        const char* name;
    };
    const Case cases[] = {
        {"S-1-5-21-3623811015-3361044348-30300820-1013",
         "Global\\PlovikBridge.SingleInstance.S-1-5-21-3623811015-3361044348-30300820-1013"},
        {"S-1-5-21-3623811015-3361044348-30300820-1014",
         "Global\\PlovikBridge.SingleInstance.S-1-5-21-3623811015-3361044348-30300820-1014"},
        {"S-1-5-18", "Global\\PlovikBridge.SingleInstance.S-1-5-18"},
        // No SID to go by: one per session, as before.
        {"", "Local\\PlovikBridge.SingleInstance"},
        {"S-1-5\\18", "Local\\PlovikBridge.SingleInstance"},
    };
    std::set<std::string> names;
    for (const Case& c : cases) {
        const std::string name = SingleInstanceMutexName(c.sid);
        EXPECT_EQ(name, c.name) << c.sid;
        // The namespace's backslash is the only one a kernel object's name takes.
        EXPECT_EQ(std::count(name.begin(), name.end(), '\\'), 1) << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), std::size(cases) - 1) << "two users share a mutex";
}

} // namespace
} // namespace plovik
