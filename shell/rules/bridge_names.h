#pragma once
// The names a running bridge is found by: a second copy looks for the first
// one by them, and the end-to-end tests look for the bridge the same way.

#include <string>
#include <string_view>

namespace plovik {

// The class of the bridge's main window.
inline constexpr const char* kFrameClassName = "PlovikBridgeFrame";

// The mutex held by the running bridge, so that a second copy steps aside:
// two would send every contact twice. One per user across every session
// (Remote Desktop lets a user hold two): in the global namespace, named with
// the user's SID in its string form ("S-1-5-21-..."). Without the SID it is
// one per session, as the session's namespace gives.
std::string SingleInstanceMutexName(std::string_view userSid);

} // namespace plovik
