// The C++ library's default terminate handler writes the uncaught
// exception's demangled type name to standard error. A windowed program
// has no standard error, and the demangler and the C library's formatting
// it brings weigh about a fifth of the program: this one only ends it.
//
// The same for the library's own throws (a string past its maximum size,
// an index out of range): the program catches no exception, so each would
// end in the handler above. Ending at once is the same outcome, without
// the exception classes and their copy-on-write strings (about 30 KiB).
//
// Ended by fail-fast, not abort(): the C library's abort() puts up a box
// whose message loop would go on running the one-second tick inside a
// process that has already failed, and leaves Windows Error Reporting
// nothing. RaiseFailFastException runs no handler and no further code of
// ours, and reports the failure to Windows Error Reporting; what is in the
// outbox stays there, as after any kill.

#include <windows.h>

// Any C++ library header: it says which library this is (__GLIBCXX__).
#include <exception>

#if defined(__GLIBCXX__)
namespace {

constexpr UINT kFailFastStatus = 0xC0000602; // STATUS_FAIL_FAST_EXCEPTION

[[noreturn]] void FailFast()
{
    ::RaiseFailFastException(nullptr, nullptr, 0);
    // Not reached; should the call ever return, nothing more runs all the same.
    ::TerminateProcess(::GetCurrentProcess(), kFailFastStatus);
    for (;;)
        ::Sleep(INFINITE);
}

} // namespace

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    FailFast();
}

} // namespace __gnu_cxx

namespace std {

void __throw_bad_exception()
{
    FailFast();
}
void __throw_bad_alloc()
{
    FailFast();
}
void __throw_bad_array_new_length()
{
    FailFast();
}
void __throw_bad_cast()
{
    FailFast();
}
void __throw_bad_typeid()
{
    FailFast();
}
void __throw_logic_error(const char*)
{
    FailFast();
}
void __throw_domain_error(const char*)
{
    FailFast();
}
void __throw_invalid_argument(const char*)
{
    FailFast();
}
void __throw_length_error(const char*)
{
    FailFast();
}
void __throw_out_of_range(const char*)
{
    FailFast();
}
void __throw_out_of_range_fmt(const char*, ...)
{
    FailFast();
}
void __throw_runtime_error(const char*)
{
    FailFast();
}
void __throw_range_error(const char*)
{
    FailFast();
}
void __throw_overflow_error(const char*)
{
    FailFast();
}
void __throw_underflow_error(const char*)
{
    FailFast();
}

} // namespace std
#endif
