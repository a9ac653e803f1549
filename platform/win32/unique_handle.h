#pragma once
// Move-only owners for Win32 handles: one line per handle kind says which
// value is "empty" and how the handle is released.

#include <windows.h>

#include <cstdint>
#include <utility>

namespace plovik::win32 {

// A handle kind: its type, the call that releases it, and its empty value
// (null for most kinds, -1, INVALID_HANDLE_VALUE, for files and a few others).
template <typename HandleType, auto CloseFunction, std::intptr_t EmptyValue = 0>
struct HandleTraits {
    using Handle = HandleType;
    static Handle Empty() { return reinterpret_cast<Handle>(EmptyValue); }
    static void Close(Handle handle) { CloseFunction(handle); }
};

template <typename Traits> class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : m_handle(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::Empty(); }
    Handle release() { return std::exchange(m_handle, Traits::Empty()); }
    void reset(Handle handle = Traits::Empty())
    {
        if (m_handle != Traits::Empty())
            Traits::Close(m_handle);
        m_handle = handle;
    }
    // For a call that hands its handle back through a pointer: releases the
    // one held, then gives the address the call writes the new one to.
    Handle* put()
    {
        reset();
        return &m_handle;
    }

private:
    Handle m_handle = Traits::Empty();
};

constexpr std::intptr_t kInvalidHandle = -1; // INVALID_HANDLE_VALUE

using UniqueFile = UniqueHandle<HandleTraits<HANDLE, ::CloseHandle, kInvalidHandle>>;
// Mutexes, processes, threads and the other kernel objects that use null for none.
using UniqueKernelHandle = UniqueHandle<HandleTraits<HANDLE, ::CloseHandle>>;
using UniqueChangeNotification =
    UniqueHandle<HandleTraits<HANDLE, ::FindCloseChangeNotification, kInvalidHandle>>;
using UniqueFind = UniqueHandle<HandleTraits<HANDLE, ::FindClose, kInvalidHandle>>;
using UniqueBitmap = UniqueHandle<HandleTraits<HBITMAP, ::DeleteObject>>;
using UniqueModule = UniqueHandle<HandleTraits<HMODULE, ::FreeLibrary>>;
using UniqueMenu = UniqueHandle<HandleTraits<HMENU, ::DestroyMenu>>;
using UniqueRegKey = UniqueHandle<HandleTraits<HKEY, ::RegCloseKey>>;
// Memory the system allocated for the caller with LocalAlloc.
template <typename Pointer>
using UniqueLocalMemory = UniqueHandle<HandleTraits<Pointer, ::LocalFree>>;

} // namespace plovik::win32
