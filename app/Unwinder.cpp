// The 32-bit program's own unwinder, in place of libgcc's (13 KB of a program that throws only to report
// an error).
//
// It serves the C++ runtime as libgcc's does, by the Itanium C++ ABI's two phases: the search walks the
// frames up from the throw, asking each function's personality routine whether it catches, without
// changing anything; the cleanup walks them again, letting each run its destructors, and resumes the
// program in the handler that caught (or at a cleanup, which calls _Unwind_Resume to go on). The frames are
// read from the program's own table (FrameTables.cpp, FrameRules.cpp). Only what the runtime's throw,
// catch and personality routine call is here: no forced unwinding, no backtraces.
//
// A frame that cannot be read ends the unwinding with an error code: __cxa_throw then calls
// std::terminate, and _Unwind_Resume aborts, as they do with libgcc's unwinder.
#include <cstdlib>

#include "FrameRules.h"

using namespace orv::unwind;

// What the personality routine sees of a frame: its registers at the call it made, and its description.
struct _Unwind_Context {
    Registers registers;
    FrameRecord record{};
    FrameRules rules{};
    std::uintptr_t argsSize = 0;
};

// The registers of the runtime's call into the unwinder, taken as they were at the call, are passed to
// orv_unwind; InstallRegisters resumes the program with a frame's registers.
extern "C" _Unwind_Reason_Code Unwind(_Unwind_Exception* exception, Registers* caller, int resume) asm("orv_unwind")
    __attribute__((used, externally_visible));
extern "C" [[noreturn]] void InstallRegisters(const Registers* registers) asm("orv_install_registers");

namespace {

enum class Read { kFrame, kEndOfStack, kUnreadable };

// Reads the description of the frame whose registers the context holds. The return address may be the
// first byte after the function when the call never returns; the call itself is one byte before it, and
// its rules are those in effect there.
Read Describe(_Unwind_Context& context) {
    const std::uintptr_t call = context.registers.value[kEip] - 1;
    if (call + 1 == 0 || !FindFrameRecord(call, context.record)) return Read::kEndOfStack;
    return RulesAt(context.record, call, context.rules, context.argsSize) ? Read::kFrame : Read::kUnreadable;
}

// Resumes the program in the frame at the address the personality routine set: at the call site, with the
// arguments pushed for the call taken off the stack, as the landing pad expects.
[[noreturn]] void Install(const _Unwind_Context& context) {
    Registers target = context.registers;
    // The return into the landing pad is written just below the target stack, in frames already left.
    auto* slot = reinterpret_cast<std::uintptr_t*>(target.value[kEsp] + context.argsSize) - 1;
    *slot = target.value[kEip];
    target.value[kEsp] = reinterpret_cast<std::uintptr_t>(slot);
    InstallRegisters(&target);
}

// The frame that caught is known by its stack pointer at the call, which differs for every frame.
_Unwind_Reason_Code CleanUp(_Unwind_Exception* exception, _Unwind_Context& context) {
    for (;;) {
        if (Describe(context) != Read::kFrame) return _URC_FATAL_PHASE2_ERROR;
        const bool handler = context.registers.value[kEsp] == exception->private_2;
        if (Personality personality = context.record.personality) {
            const auto actions = _Unwind_Action(_UA_CLEANUP_PHASE | (handler ? _UA_HANDLER_FRAME : 0));
            const auto code = personality(1, actions, exception->exception_class, exception, &context);
            if (code == _URC_INSTALL_CONTEXT) Install(context);
            if (code != _URC_CONTINUE_UNWIND) return _URC_FATAL_PHASE2_ERROR;
        }
        if (handler || !StepOut(context.rules, context.registers)) return _URC_FATAL_PHASE2_ERROR;
    }
}

_Unwind_Reason_Code Raise(_Unwind_Exception* exception, const Registers& caller) {
    _Unwind_Context context{caller};
    for (;;) {
        const Read read = Describe(context);
        if (read == Read::kEndOfStack) return _URC_END_OF_STACK;  // nothing catches it
        if (read == Read::kUnreadable) return _URC_FATAL_PHASE1_ERROR;
        if (Personality personality = context.record.personality) {
            const auto code =
                personality(1, _UA_SEARCH_PHASE, exception->exception_class, exception, &context);
            if (code == _URC_HANDLER_FOUND) break;
            if (code != _URC_CONTINUE_UNWIND) return _URC_FATAL_PHASE1_ERROR;
        }
        if (!StepOut(context.rules, context.registers)) return _URC_FATAL_PHASE1_ERROR;
    }
    exception->private_1 = 0;  // not a forced unwinding
    exception->private_2 = context.registers.value[kEsp];
    context = {caller};
    return CleanUp(exception, context);
}

}  // namespace

_Unwind_Reason_Code Unwind(_Unwind_Exception* exception, Registers* caller, int resume) {
    if (!resume) return Raise(exception, *caller);
    _Unwind_Context context{*caller};
    CleanUp(exception, context);
    std::abort();  // the cleanup phase, once started, has nowhere to return to
}

// The runtime's calls into the unwinder (cdecl) arrive at orv_capture_and_unwind with ecx saying which:
// 0 raises, 1 resumes. The caller's registers are pushed in DWARF's column order, eax first at the lowest
// address; eax, ecx and edx do not survive a call, so they are pushed as zero. Without forced unwinding an
// exception is always a plain one, and rethrowing it raises it anew, as libgcc's version does in that case.
// orv_install_registers resumes the program with a frame's registers.
asm(".text\n"
    "__Unwind_RaiseException:\n"
    "__Unwind_Resume_or_Rethrow:\n"
    "    xor %ecx, %ecx\n"
    "    jmp orv_capture_and_unwind\n"
    "__Unwind_Resume:\n"
    "    mov $1, %ecx\n"
    "orv_capture_and_unwind:\n"
    "    lea 4(%esp), %eax\n"  // the caller's esp once the call has returned
    "    pushl (%esp)\n"       // eip: the return address
    "    push %edi\n"
    "    push %esi\n"
    "    push %ebp\n"
    "    push %eax\n"
    "    push %ebx\n"
    "    push $0\n"
    "    push $0\n"
    "    push $0\n"
    "    mov %esp, %eax\n"
    "    push %ecx\n"
    "    push %eax\n"
    "    pushl 40(%eax)\n"  // the exception: above the 36 bytes of registers and the return address
    "    call orv_unwind\n"
    "    add $48, %esp\n"
    "    ret\n"
    "orv_install_registers:\n"
    "    mov 4(%esp), %ecx\n"
    "    mov 0(%ecx), %eax\n"
    "    mov 8(%ecx), %edx\n"
    "    mov 12(%ecx), %ebx\n"
    "    mov 20(%ecx), %ebp\n"
    "    mov 24(%ecx), %esi\n"
    "    mov 28(%ecx), %edi\n"
    "    mov 16(%ecx), %esp\n"  // the landing pad's address is on top of that stack
    "    ret\n"
    ".globl __Unwind_RaiseException, __Unwind_Resume_or_Rethrow, __Unwind_Resume\n");

extern "C" {

void _Unwind_DeleteException(_Unwind_Exception* exception) {
    if (exception->exception_cleanup) exception->exception_cleanup(_URC_FOREIGN_EXCEPTION_CAUGHT, exception);
}

// The personality routine sets eax and edx (DWARF columns 0 and 2) to the exception and the handler's
// selector; anything else would be a runtime this unwinder was not written for.
void _Unwind_SetGR(_Unwind_Context* context, int column, _Unwind_Word value) {
    if (column != kEax && column != kEdx) std::abort();
    context->registers.value[column] = value;
}

_Unwind_Ptr _Unwind_GetIPInfo(_Unwind_Context* context, int* beforeInstruction) {
    *beforeInstruction = 0;  // a return address, never a signal frame's own address
    return context->registers.value[kEip];
}

void _Unwind_SetIP(_Unwind_Context* context, _Unwind_Ptr address) { context->registers.value[kEip] = address; }

void* _Unwind_GetLanguageSpecificData(_Unwind_Context* context) {
    return const_cast<unsigned char*>(context->record.lsda);
}

_Unwind_Ptr _Unwind_GetRegionStart(_Unwind_Context* context) { return context->record.functionStart; }

// The program's tables hold no addresses relative to these bases (FrameTables.cpp reads none).
_Unwind_Ptr _Unwind_GetDataRelBase(_Unwind_Context*) { return 0; }
_Unwind_Ptr _Unwind_GetTextRelBase(_Unwind_Context*) { return 0; }

}  // extern "C"
