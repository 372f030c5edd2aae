// What the 32-bit program's own unwinder knows about one frame: where its caller's registers are, read
// from the frame descriptions (FrameTables.cpp, FrameRules.cpp), and stepped out of (Unwinder.cpp).
#pragma once

#include <cstdint>
#include <unwind.h>

namespace orv::unwind {

// The registers an unwound frame has, in the columns DWARF numbers them by for i386.
enum Column { kEax, kEcx, kEdx, kEbx, kEsp, kEbp, kEsi, kEdi, kEip, kColumns };

// A frame's registers at a call it made: kEsp as the call's return left it, kEip the return address.
struct Registers {
    std::uintptr_t value[kColumns];
};

using Personality = _Unwind_Reason_Code (*)(int, _Unwind_Action, _Unwind_Exception_Class, _Unwind_Exception*,
                                            _Unwind_Context*);

// One frame description (an FDE and the CIE it shares with others), as far as unwinding needs it.
struct FrameRecord {
    std::uintptr_t functionStart;
    const unsigned char* lsda;  // the language's tables for the function, or null
    Personality personality;    // or null: a function with nothing to run on the way out
    std::uintptr_t codeAlignment;
    std::intptr_t dataAlignment;
    const unsigned char* initialRules;  // the CIE's instructions, then the FDE's
    const unsigned char* initialEnd;
    const unsigned char* rules;
    const unsigned char* rulesEnd;
};

// Where a caller's register is found once the frame is left.
enum class Rule : std::uint8_t { kSame, kUndefined, kAtCfa, kInRegister, kAtExpression };

struct RegisterRule {
    Rule rule;
    std::intptr_t offset;                // kAtCfa: from the CFA; kInRegister: the column
    const unsigned char* expression;     // kAtExpression
};

// The rules in effect at one address of a function.
struct FrameRules {
    RegisterRule reg[kColumns];
    int cfaRegister;                     // the CFA is this register plus cfaOffset ...
    std::intptr_t cfaOffset;
    const unsigned char* cfaExpression;  // ... or, when not null, what this expression computes
};

// The variable-length numbers of the DWARF records (LEB128).
std::uintptr_t ReadUleb(const unsigned char*& p);
std::intptr_t ReadSleb(const unsigned char*& p);
// The encoding byte that says a value is not there at all (DW_EH_PE_omit).
constexpr unsigned char kOmitted = 0xff;
// A value written with one of the DW_EH_PE encodings GCC uses; false for any other.
bool ReadEncoded(unsigned char encoding, const unsigned char*& p, std::uintptr_t& value);

// The description of the code at address, or false when the program's table has none.
bool FindFrameRecord(std::uintptr_t address, FrameRecord& record);

// The rules at address, and the bytes of arguments pushed for the call there; false on an instruction
// this reader does not know.
bool RulesAt(const FrameRecord& record, std::uintptr_t address, FrameRules& rules, std::uintptr_t& argsSize);

// Turns a frame's registers into its caller's; false when a rule cannot be followed.
bool StepOut(const FrameRules& rules, Registers& registers);

}  // namespace orv::unwind
