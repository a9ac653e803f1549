#pragma once
// Paths are UTF-8 inside the program and UTF-16 at the Win32 boundary, so a
// profile folder named outside the ANSI code page (a Cyrillic or Polish
// user name on English Windows) still works.

#include <windows.h>

#include <string>
#include <string_view>

namespace plovik::win32 {

inline std::wstring Widen(std::string_view utf8)
{
    if (utf8.empty())
        return std::wstring();
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                              size);
    return wide;
}

inline std::string Narrow(std::wstring_view wide)
{
    if (wide.empty())
        return std::string();
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0],
                              size, nullptr, nullptr);
    return utf8;
}

} // namespace plovik::win32
