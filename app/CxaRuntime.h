#pragma once
// The 32-bit program's record of a C++ exception in flight, kept by its own throw and catch
// (CxaRuntime.cpp) just before the thrown object and read by its personality routine (Personality.cpp).
// It ends with the unwinder's header, so the object follows the header directly, as the ABI has it.
#include <cstddef>
#include <typeinfo>
#include <unwind.h>

namespace orv::cxa {

struct Record {
    const std::type_info* type;
    void(__thiscall* destructor)(void*);  // GCC on 32-bit Windows calls a destructor as a member function
    Record* next;  // the exception being handled when this one was caught
    int handlers;  // the catch blocks handling it; negated by a rethrow until the rethrowing one ends
    _Unwind_Exception header;
};
static_assert(offsetof(Record, header) + sizeof(_Unwind_Exception) == sizeof(Record), "the object follows the header");

inline Record* RecordOf(_Unwind_Exception* header) { return reinterpret_cast<Record*>(header + 1) - 1; }

// "GNUCC++\0": an exception thrown by this runtime's __cxa_throw.
constexpr _Unwind_Exception_Class kCxxException = 0x474e5543432b2b00ULL;

// Whether a catch clause for catchType (a class caught by reference) takes an exception of type thrown.
bool Catches(const std::type_info* catchType, const std::type_info* thrown);

}  // namespace orv::cxa
