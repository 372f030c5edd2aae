// How an exception finds its handler in a frame, kept small (32-bit program only).
//
// The unwinder asks each frame's personality routine whether the frame catches the exception (search
// phase) and where its cleanups are (cleanup phase). The routine reads the table GCC writes beside the
// function (its language-specific data): which range of the code is covered by which landing pad, and the
// catch clauses each pad tests, in order. libstdc++'s routine also serves dynamic exception
// lists (`throw(X)`), foreign and forced unwinding and caches its results between the phases: 3.6 KB. This
// program, C++20 throughout, has none of those, so this routine reads the table again in each phase and
// ends the program where the library's would call an "unexpected" handler. Which catch clause takes an
// exception is decided from the type information GCC writes (CatchTypes.cpp).
#include <cstdint>
#include <cstring>
#include <exception>
#include <typeinfo>
#include <unwind.h>

#include "CxaRuntime.h"
#include "FrameRules.h"

namespace {

using orv::unwind::kOmitted;
using orv::unwind::ReadEncoded;
using orv::unwind::ReadSleb;
using orv::unwind::ReadUleb;

// The size of one entry of the catch types' table.
unsigned EntrySize(unsigned char encoding) {
    switch (encoding & 0x07) {
    case 0x02: return 2;  // udata2, sdata2
    case 0x03: return 4;  // udata4, sdata4
    default: return sizeof(std::uintptr_t);  // absptr
    }
}

enum class Found { Nothing, Cleanup, Handler, Unreadable };

struct Decision {
    Found found = Found::Nothing;
    std::uintptr_t landingPad = 0;
    int selector = 0;
};

// What the frame does with the exception at the context's instruction.
Decision Decide(_Unwind_Context* context, const unsigned char* table, bool ours, const std::type_info* thrownType) {
    Decision d;
    int beforeInstruction = 0;
    std::uintptr_t ip = _Unwind_GetIPInfo(context, &beforeInstruction);
    if (!beforeInstruction) --ip;  // the call's last byte, not the return address after it
    const std::uintptr_t start = _Unwind_GetRegionStart(context);

    const unsigned char* p = table;
    std::uintptr_t padBase = start;
    const unsigned char padBaseEncoding = *p++;
    if (padBaseEncoding != kOmitted && !ReadEncoded(padBaseEncoding, p, padBase)) return {Found::Unreadable};
    const unsigned char typeEncoding = *p++;
    const unsigned char* types = nullptr;
    if (typeEncoding != kOmitted) {
        const std::uintptr_t offset = ReadUleb(p);
        types = p + offset;
    }
    const unsigned char siteEncoding = *p++;
    const std::uintptr_t sitesLength = ReadUleb(p);
    const unsigned char* actions = p + sitesLength;

    // The call sites, in order of address. An address outside every site may not throw at all: the function
    // is noexcept, or a destructor threw during a cleanup. The language ends the program there.
    std::uintptr_t action = 0;
    bool covered = false;
    while (p < actions) {
        std::uintptr_t siteStart, siteLength, pad;
        if (!ReadEncoded(siteEncoding, p, siteStart) || !ReadEncoded(siteEncoding, p, siteLength) ||
            !ReadEncoded(siteEncoding, p, pad))
            return {Found::Unreadable};
        action = ReadUleb(p);
        if (ip < start + siteStart) break;
        if (ip < start + siteStart + siteLength) {
            covered = true;
            d.landingPad = pad ? padBase + pad : 0;
            break;
        }
    }
    if (!covered) std::terminate();
    if (d.landingPad == 0) return d;
    if (action == 0) {
        d.found = Found::Cleanup;
        return d;
    }

    // The pad's catch clauses, each a filter: 0 a cleanup, a positive one a catch type (none: catch (...)),
    // a negative one a list of the types a function may throw (`throw(X)`), which C++20 code does not have.
    bool cleanup = false;
    for (const unsigned char* record = actions + action - 1;;) {
        const std::intptr_t filter = ReadSleb(record);
        const unsigned char* next = record;
        const std::intptr_t displacement = ReadSleb(record);
        if (filter < 0 || (filter > 0 && types == nullptr)) return {Found::Unreadable};
        if (filter == 0) {
            cleanup = true;
        } else {
            const unsigned char* entry = types - static_cast<std::uintptr_t>(filter) * EntrySize(typeEncoding);
            std::uintptr_t caught;
            if (!ReadEncoded(typeEncoding, entry, caught)) return {Found::Unreadable};
            const auto* catchType = reinterpret_cast<const std::type_info*>(caught);
            if (catchType == nullptr || (ours && orv::cxa::Catches(catchType, thrownType))) {
                d.found = Found::Handler;
                d.selector = static_cast<int>(filter);
                return d;
            }
        }
        if (displacement == 0) break;
        record = next + displacement;
    }
    d.found = cleanup ? Found::Cleanup : Found::Nothing;
    return d;
}

}  // namespace

extern "C" _Unwind_Reason_Code __gxx_personality_v0(int version, _Unwind_Action actions,
                                                    _Unwind_Exception_Class exceptionClass,
                                                    _Unwind_Exception* exception, _Unwind_Context* context) {
    if (version != 1 || exception == nullptr || context == nullptr) return _URC_FATAL_PHASE1_ERROR;
    const auto* table = static_cast<const unsigned char*>(_Unwind_GetLanguageSpecificData(context));
    if (table == nullptr) return _URC_CONTINUE_UNWIND;

    // Only the runtime's own exceptions have a C++ type; any other is caught by catch (...) alone.
    const bool ours = exceptionClass == orv::cxa::kCxxException;
    const Decision d = Decide(context, table, ours, ours ? orv::cxa::RecordOf(exception)->type : nullptr);
    if (d.found == Found::Unreadable)
        return (actions & _UA_SEARCH_PHASE) ? _URC_FATAL_PHASE1_ERROR : _URC_FATAL_PHASE2_ERROR;
    if (d.found == Found::Nothing) return _URC_CONTINUE_UNWIND;
    if (actions & _UA_SEARCH_PHASE) {
        return d.found == Found::Handler ? _URC_HANDLER_FOUND : _URC_CONTINUE_UNWIND;
    }
    // The cleanup phase: a frame below the handler's runs its cleanups, and the handler's frame its catch.
    _Unwind_SetGR(context, __builtin_eh_return_data_regno(0), reinterpret_cast<_Unwind_Ptr>(exception));
    _Unwind_SetGR(context, __builtin_eh_return_data_regno(1),
                  static_cast<_Unwind_Word>(d.found == Found::Handler ? d.selector : 0));
    _Unwind_SetIP(context, d.landingPad);
    return _URC_INSTALL_CONTEXT;
}
