// How the C++ runtime's failure paths end in this program, kept small.
//
// The standard library reports a misuse (a string grown past its maximum, an index out of range) through
// these functions. The library's own versions construct std::logic_error and its kin, which drags in a
// second, prebuilt std::string implementation and std::random_device: about 90 KB of a 200 KB program.
// Here they throw the program's own exception instead. Nothing in the program catches the standard
// exception classes by name: every error that escapes a handler is shown by the error display, which
// reads the text of any std::exception, so the user sees the same message either way.
#include <cstdlib>
#include <exception>
#include <new>
#include <unwind.h>

#include "Exceptions.h"

namespace std {
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw orv::Exception("Invalid type conversion"); }
void __throw_bad_typeid() { throw orv::Exception("Invalid type identification"); }
void __throw_bad_exception() { throw orv::Exception("Unexpected exception"); }
void __throw_logic_error(const char* what) { throw orv::Exception(what); }
void __throw_domain_error(const char* what) { throw orv::Exception(what); }
void __throw_invalid_argument(const char* what) { throw orv::Exception(what); }
void __throw_length_error(const char* what) { throw orv::Exception(what); }
void __throw_out_of_range(const char* what) { throw orv::Exception(what); }
// The format's placeholders stay unfilled: formatting would bring in the library's printf.
void __throw_out_of_range_fmt(const char* format, ...) { throw orv::Exception(format); }
void __throw_runtime_error(const char* what) { throw orv::Exception(what); }
void __throw_range_error(const char* what) { throw orv::Exception(what); }
void __throw_overflow_error(const char* what) { throw orv::Exception(what); }
void __throw_underflow_error(const char* what) { throw orv::Exception(what); }
}  // namespace std

// The 64-bit program throws and catches with the library's runtime; the 32-bit one has its own
// (CxaRuntime.cpp), which needs neither of the next two.
#if !defined(__i386__)
// Every error is caught by the handlers' catch-all, so a call to std::terminate means a broken program.
// The runtime's default handler would print the exception's demangled type name to a console the program
// does not have, and brings in 46 KB of demangler to do so; this one just ends the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// The exceptions being handled, which the runtime keeps per thread through emulated thread-local storage.
// Only the program's one thread ever throws, so a single record serves, and the emulation stays out.
namespace __cxxabiv1 {
struct __cxa_eh_globals {
    void* caughtExceptions;
    unsigned int uncaughtExceptions;
};
namespace {
__cxa_eh_globals theGlobals;
}
extern "C" __cxa_eh_globals* __cxa_get_globals() noexcept { return &theGlobals; }
extern "C" __cxa_eh_globals* __cxa_get_globals_fast() noexcept { return &theGlobals; }
}  // namespace __cxxabiv1
#endif  // !__i386__

// Memory for new, without the library's loop over a new-handler: the program installs none.
void* operator new(std::size_t size) {
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

// The rest serves the 32-bit program, which unwinds with its own DWARF unwinder (Unwinder.cpp); the 64-bit one unwinds
// through Windows' own tables, with routines of its own.
#if defined(__i386__)

extern "C" _Unwind_Reason_Code __gxx_personality_v0(int, _Unwind_Action, _Unwind_Exception_Class,
                                                    _Unwind_Exception*, _Unwind_Context*);

// Link-time optimisation gives some functions whose only exception handling is cleanup the C language's
// personality routine instead of C++'s. For cleanups the two do the same, from the same tables, so the C
// one hands over to the C++ one rather than bringing in a second routine (1.5 KB).
extern "C" __attribute__((used)) _Unwind_Reason_Code __gcc_personality_v0(
    int version, _Unwind_Action actions, _Unwind_Exception_Class exceptionClass, _Unwind_Exception* exception,
    _Unwind_Context* context) {
    return __gxx_personality_v0(version, actions, exceptionClass, exception, context);
}

#endif  // __i386__
