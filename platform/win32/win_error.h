#pragma once
// The system's own words for a Win32 error code, in UTF-8.

#include <windows.h>

#include <string>

namespace plovik::win32 {

std::string ErrorText(DWORD error);

} // namespace plovik::win32
