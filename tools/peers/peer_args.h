#pragma once
// What both test peers share: "--name value" options, the clock, appending.
// Options and paths are UTF-8, and UTF-16 at the system's calls, so a
// folder named outside the ANSI code page reaches the peers whole.

#include "unique_handle.h"
#include "wide.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace peers {

// The command line's words, UTF-8 (the ANSI __argv would turn letters
// outside the code page into '?').
inline const std::vector<std::string>& Arguments()
{
    static const std::vector<std::string> arguments = [] {
        std::vector<std::string> words;
        int count = 0;
        const plovik::win32::UniqueLocalMemory<LPWSTR*> wide(
            ::CommandLineToArgvW(::GetCommandLineW(), &count));
        for (int i = 0; wide && i < count; ++i)
            words.push_back(plovik::win32::Narrow(wide.get()[i]));
        return words;
    }();
    return arguments;
}

// The value after `--name` on the command line, or `fallback`.
inline std::string Option(const char* name, const std::string& fallback = std::string())
{
    const std::vector<std::string>& args = Arguments();
    for (std::size_t i = 1; i + 1 < args.size(); ++i)
        if (args[i] == name)
            return args[i + 1];
    return fallback;
}

// Every value given with `--name`, in command-line order.
inline std::vector<std::string> Options(const char* name)
{
    const std::vector<std::string>& args = Arguments();
    std::vector<std::string> values;
    for (std::size_t i = 1; i + 1 < args.size(); ++i)
        if (args[i] == name)
            values.push_back(args[++i]);
    return values;
}

inline long NumberOption(const char* name, long fallback)
{
    const std::string value = Option(name);
    return value.empty() ? fallback : std::strtol(value.c_str(), nullptr, 10);
}

inline bool Flag(const char* name)
{
    const std::vector<std::string>& args = Arguments();
    for (std::size_t i = 1; i < args.size(); ++i)
        if (args[i] == name)
            return true;
    return false;
}

// 100-ns units since 1601, the clock both peers and the bridge's tests share.
inline unsigned long long PreciseNow()
{
    FILETIME now;
    ::GetSystemTimePreciseAsFileTime(&now);
    return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

using plovik::win32::UniqueFile;

inline bool WriteAll(const UniqueFile& file, const std::string& bytes)
{
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

// Appends bytes to a file, opened and closed for each call so that every
// record is complete on disk when the call returns.
inline bool AppendToFile(const std::string& path, const std::string& bytes)
{
    const UniqueFile file(::CreateFileW(plovik::win32::Widen(path).c_str(), FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAll(file, bytes);
}

inline bool Exists(const std::string& path)
{
    return ::GetFileAttributesW(plovik::win32::Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs the thread's message loop until WM_QUIT: its exit code.
inline int RunMessageLoop()
{
    MSG msg{};
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace peers
