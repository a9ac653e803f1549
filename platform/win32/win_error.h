#pragma once
// A Win32 error code and the system's own words for it, in UTF-8:
// "Error 32: The process cannot access the file ...".

#include <windows.h>

#include <string>

namespace plovik::win32 {

std::string ErrorText(DWORD error);

} // namespace plovik::win32
