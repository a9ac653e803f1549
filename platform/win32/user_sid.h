#pragma once
// The SID of the user this process runs as, in its string form.

#include <string>

namespace plovik::win32 {

// "S-1-5-21-...", or empty when the process token cannot tell.
std::string CurrentUserSid();

} // namespace plovik::win32
