#include "win_error.h"

#include "wide.h"

#include <memory>

namespace plovik::win32 {

namespace {

struct LocalFreeDeleter {
    void operator()(wchar_t* text) const { ::LocalFree(text); }
};

} // namespace

std::string ErrorText(DWORD error)
{
    // The wide text, as UTF-8: the ANSI one would be garbled wherever the
    // program shows it, on any Windows whose language is not English.
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const std::unique_ptr<wchar_t, LocalFreeDeleter> owned(text);
    std::wstring_view wide = length ? std::wstring_view(text, length) : std::wstring_view();
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' '))
        wide.remove_suffix(1);
    std::string result = Narrow(wide);
    if (result.empty())
        result = "Windows error " + std::to_string(error);
    return result;
}

} // namespace plovik::win32
