#include "bridge_names.h"

#include <algorithm>

namespace plovik {

std::string SingleInstanceMutexName(std::string_view userSid)
{
    constexpr std::string_view kName = "PlovikBridge.SingleInstance";
    // A backslash past the namespace's would make the name invalid: such a
    // SID is no SID, and the session's name is used.
    if (userSid.empty() || std::find(userSid.begin(), userSid.end(), '\\') != userSid.end())
        return "Local\\" + std::string(kName);
    return "Global\\" + std::string(kName) + "." + std::string(userSid);
}

} // namespace plovik
