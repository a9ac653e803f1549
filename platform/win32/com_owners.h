#pragma once
// Owners for COM: an interface pointer that holds one reference, and the
// thread's COM initialisation, each released when its owner goes.

#include <objbase.h>

#include <memory>

namespace plovik::win32 {

struct ComRelease {
    template <typename Interface> void operator()(Interface* pointer) const { pointer->Release(); }
};
// An interface pointer holding one reference of its own.
template <typename Interface> using UniqueCom = std::unique_ptr<Interface, ComRelease>;

// COM initialised on this thread (apartment-threaded) once Enter succeeds,
// balanced when the owner goes. Declare it before the interface pointers it
// serves, so they are released first.
class ComApartment {
public:
    ComApartment() = default;
    ~ComApartment()
    {
        if (m_bEntered)
            ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // S_FALSE (already initialised on this thread) counts: it too is balanced.
    bool Enter()
    {
        if (!m_bEntered)
            m_bEntered = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        return m_bEntered;
    }

private:
    bool m_bEntered = false;
};

} // namespace plovik::win32
