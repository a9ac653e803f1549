#include "win_error.h"

#include "unique_handle.h"
#include "wide.h"

namespace plovik::win32 {

std::string ErrorText(DWORD error)
{
    // The wide text, as UTF-8: the ANSI one would be garbled wherever the
    // program shows it, on any Windows whose language is not English.
    UniqueLocalMemory<wchar_t*> text;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(text.put()), 0, nullptr);
    std::wstring_view wide = length ? std::wstring_view(text.get(), length) : std::wstring_view();
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' '))
        wide.remove_suffix(1);
    // The number first, as PuTTY does: a reason in another language can
    // still be looked up by it.
    std::string result = "Error " + std::to_string(error);
    if (!wide.empty())
        result += ": " + Narrow(wide);
    return result;
}

} // namespace plovik::win32
