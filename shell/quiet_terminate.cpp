// The C++ library's default terminate handler writes the uncaught
// exception's demangled type name to standard error. A windowed program
// has no standard error, and the demangler and the C library's formatting
// it brings weigh about a fifth of the program: this one only ends it.

#include <cstdlib>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

} // namespace __gnu_cxx
#endif
