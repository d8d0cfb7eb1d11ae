#include <exception>
#include <new>

// How the C++ library's containers and strings fail in the installer. The
// library's own helpers build std::length_error, std::out_of_range and their kin
// around its reference-counted string, which brought that string's whole
// implementation, the exception classes and the unwind tables that keep all of it
// alive into the program: about 85 KB, an eighth of it. Defined here, in the
// program's own object, the library's helpers are never linked; should the
// program come to need one not defined here, the link fails on the duplicate.
//
// A container that cannot grow has run out of memory as far as the program is
// concerned: it fails with std::bad_alloc, which the services and the picture
// decoders already answer. The rest are programming faults and end the program,
// as the exceptions did when nothing caught them.
namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_length_error(const char*) { throw bad_alloc(); }
void __throw_logic_error(const char*) { terminate(); }
void __throw_out_of_range_fmt(const char*, ...) { terminate(); }
void __throw_bad_function_call() { terminate(); }

}  // namespace std
