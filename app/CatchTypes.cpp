// Which catch clause takes an exception, for the 32-bit program.
//
// Even without run-time type information (-fno-rtti) GCC writes type information for every class the
// program throws or catches: the class's name and, for a class derived from one other at its start, that
// base's information (the Itanium C++ ABI's __class_type_info and __si_class_type_info). libstdc++ matches
// a catch through virtual functions of those classes, which also serve dynamic_cast, pointers and classes
// with several or virtual bases: 2.3 KB with std::type_info's own members. The program throws only
// classes, each derived from at most one base, and catches them by reference or with catch (...), so
// matching is following the thrown class's bases until one has the caught class's name.
#include <exception>

#include "CxaRuntime.h"

namespace {

struct ClassInfo {
    const void* const* vtable;
    const char* name;
};
struct SingleBaseInfo : ClassInfo {
    const ClassInfo* base;
};

// GCC on Windows compares types by name, since every DLL has its own copy of their information; a name
// that starts with '*' is that of a type private to its unit, which only its own information matches.
bool SameType(const char* a, const char* b) {
    if (a == b) return true;
    if (*a == '*') return false;
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

}  // namespace

// The vtables GCC points the two kinds of type information at, defined here so that the library's are not
// linked. Their addresses tell the kinds apart; no code calls into them (the program has no typeid or
// dynamic_cast, and catches are matched below), so they hold nothing. Library code that does call them
// would bring the library's definitions back, and the link fails on the two names defined twice.
extern "C" const void* const orvClassInfoVtable[3] asm("__ZTVN10__cxxabiv117__class_type_infoE") = {};
extern "C" const void* const orvSingleBaseInfoVtable[3] asm("__ZTVN10__cxxabiv120__si_class_type_infoE") = {};

bool orv::cxa::Catches(const std::type_info* catchType, const std::type_info* thrownType) {
    const auto* caught = reinterpret_cast<const ClassInfo*>(catchType);
    for (const auto* thrown = reinterpret_cast<const ClassInfo*>(thrownType);;) {
        if (SameType(thrown->name, caught->name)) return true;
        // Type information points two entries into its vtable, past the offset and type of the vtable.
        if (thrown->vtable == orvClassInfoVtable + 2) return false;
        // Anything else thrown (a pointer, a number, a class of several bases) is of a kind this program
        // never throws and this matching does not know: ending the program beats taking the wrong catch.
        if (thrown->vtable != orvSingleBaseInfoVtable + 2) std::terminate();
        thrown = static_cast<const SingleBaseInfo*>(thrown)->base;
    }
}
