#include "user_sid.h"

#include "unique_handle.h"
#include "wide.h"

#include <windows.h>

#include <sddl.h>

#include <vector>

namespace plovik::win32 {

std::string CurrentUserSid()
{
    HANDLE opened = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &opened))
        return std::string();
    const UniqueKernelHandle token(opened);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0)
        return std::string();
    // TOKEN_USER points into its own buffer: kept aligned for it.
    std::vector<TOKEN_USER> buffer(size / sizeof(TOKEN_USER) + 1);
    if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(),
                               static_cast<DWORD>(buffer.size() * sizeof(TOKEN_USER)), &size))
        return std::string();
    UniqueLocalMemory<wchar_t*> text;
    if (!::ConvertSidToStringSidW(buffer[0].User.Sid, text.put()))
        return std::string();
    return Narrow(text.get());
}

} // namespace plovik::win32
