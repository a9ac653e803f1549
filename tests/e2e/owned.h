#pragma once
// Win32 handles owned by an object and closed when it goes.

#include <windows.h>

#include <utility>

namespace e2e {

template <typename Handle, typename Traits> class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : m_handle(handle) {}
    ~Owned() { Reset(); }
    Owned(Owned&& other) noexcept : m_handle(std::exchange(other.m_handle, Handle{})) {}
    Owned& operator=(Owned&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_handle = std::exchange(other.m_handle, Handle{});
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Handle Get() const { return m_handle; }
    bool Valid() const { return Traits::Valid(m_handle); }
    void Reset()
    {
        if (Traits::Valid(m_handle))
            Traits::Close(m_handle);
        m_handle = Handle{};
    }

private:
    Handle m_handle{};
};

struct KernelTraits {
    static bool Valid(HANDLE h) { return h && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct ModuleTraits {
    static bool Valid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};
struct MenuTraits {
    static bool Valid(HMENU h) { return h != nullptr; }
    static void Close(HMENU h) { ::DestroyMenu(h); }
};

using KernelHandle = Owned<HANDLE, KernelTraits>;
using ModuleHandle = Owned<HMODULE, ModuleTraits>;
using MenuHandle = Owned<HMENU, MenuTraits>;

// The screen's device context for as long as the object lives.
class ScreenDc {
public:
    ScreenDc() : m_dc(::GetDC(nullptr)) {}
    ~ScreenDc() { ::ReleaseDC(nullptr, m_dc); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

} // namespace e2e
