// The C++ library's default terminate handler writes the uncaught
// exception's demangled type name to standard error. A windowed program
// has no standard error, and the demangler and the C library's formatting
// it brings weigh about a fifth of the program: this one only ends it.
//
// The same for the library's own throws (a string past its maximum size,
// an index out of range): the program catches no exception, so each would
// end in the handler above. Ending at once is the same outcome, without
// the exception classes and their copy-on-write strings (about 30 KiB).

#include <cstdlib>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

} // namespace __gnu_cxx

namespace std {

void __throw_bad_exception()
{
    std::abort();
}
void __throw_bad_alloc()
{
    std::abort();
}
void __throw_bad_array_new_length()
{
    std::abort();
}
void __throw_bad_cast()
{
    std::abort();
}
void __throw_bad_typeid()
{
    std::abort();
}
void __throw_logic_error(const char*)
{
    std::abort();
}
void __throw_domain_error(const char*)
{
    std::abort();
}
void __throw_invalid_argument(const char*)
{
    std::abort();
}
void __throw_length_error(const char*)
{
    std::abort();
}
void __throw_out_of_range(const char*)
{
    std::abort();
}
void __throw_out_of_range_fmt(const char*, ...)
{
    std::abort();
}
void __throw_runtime_error(const char*)
{
    std::abort();
}
void __throw_range_error(const char*)
{
    std::abort();
}
void __throw_overflow_error(const char*)
{
    std::abort();
}
void __throw_underflow_error(const char*)
{
    std::abort();
}

} // namespace std
#endif
