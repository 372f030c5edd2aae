// Throw and catch for the 32-bit program, in place of the C++ runtime's.
//
// The compiler turns `throw`, `catch` and `throw;` into calls of these functions (the Itanium C++ ABI's).
// libstdc++'s versions keep the exceptions being handled per thread, pass other languages' exceptions
// through, count references for std::exception_ptr and call the terminate handler a program installs,
// inside a guard of its own: 1.6 KB with their unwind records. This program has one thread that
// throws, sees no exception but its own C++ ones (nothing else raises one through its unwinder), copies
// none out of a handler and installs no terminate handler, so what is left is the bookkeeping of nested
// and rethrown exceptions that decides when a thrown object is destroyed.
#include <cstdlib>
#include <cstring>
#include <exception>

#include "CxaRuntime.h"

using orv::cxa::Record;

namespace {
// The exceptions being handled, the latest caught first: a catch block may throw and catch again.
Record* caught = nullptr;
}  // namespace

// The program installs no terminate handler, and the default one it had in place of the runtime's (the
// 64-bit program's, LeanRuntime.cpp) only calls abort(): so does this.
void std::terminate() noexcept { std::abort(); }

// The room for an exception in flight, from the heap. The runtime's own version adds an emergency pool
// for a heap that is exhausted, guarded by a lock for threads (4 KB with the thread support it brings);
// the program's only exceptions report an error, and a heap too full to hold one ends it either way.
extern "C" void* __cxa_allocate_exception(std::size_t size) noexcept {
    auto* record = static_cast<Record*>(std::malloc(sizeof(Record) + size));
    if (!record) std::terminate();
    std::memset(record, 0, sizeof(Record));
    return record + 1;
}

extern "C" void __cxa_free_exception(void* object) noexcept { std::free(static_cast<Record*>(object) - 1); }

extern "C" [[noreturn]] void __cxa_throw(void* object, std::type_info* type, void(__thiscall* destructor)(void*)) {
    Record* record = static_cast<Record*>(object) - 1;
    record->type = type;
    record->destructor = destructor;
    record->header.exception_class = orv::cxa::kCxxException;
    _Unwind_RaiseException(&record->header);
    std::terminate();  // nothing catches it, or a frame could not be read
}

// A handler starts: the exception becomes the latest one caught (it already is when it was rethrown and
// caught again inside the catch block that rethrew it, whose count is still negative).
extern "C" void* __cxa_begin_catch(void* header) noexcept {
    Record* record = orv::cxa::RecordOf(static_cast<_Unwind_Exception*>(header));
    record->handlers = (record->handlers < 0 ? -record->handlers : record->handlers) + 1;
    if (record != caught) {
        record->next = caught;
        caught = record;
    }
    return record + 1;  // a class caught as its base: the same address (CatchTypes.cpp)
}

// A handler ends. The last one of an exception that was not rethrown destroys it; one that rethrew it
// only leaves it, to the catch that takes it next.
extern "C" void __cxa_end_catch() noexcept {
    Record* record = caught;
    if (record->handlers < 0) {
        if (++record->handlers == 0) caught = record->next;
    } else if (--record->handlers == 0) {
        caught = record->next;
        if (record->destructor) record->destructor(record + 1);
        std::free(record);
    }
}

// `throw;`: the exception being handled goes on, its count negated for __cxa_end_catch. Outside any
// handler the language ends the program.
extern "C" [[noreturn]] void __cxa_rethrow() {
    if (Record* record = caught) {
        record->handlers = -record->handlers;
        _Unwind_Resume_or_Rethrow(&record->header);
    }
    std::terminate();
}
