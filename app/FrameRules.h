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
    const unsigned char* compactRow;    // the row of the compact table (its kind byte on), or null
};

// The build writes a compact table in place of the linked program's .eh_frame records (the payload tool's
// compact-frames). Nearly every function of the program keeps a frame pointer, so at each of its calls the
// CFA is ebp + 8 and the caller's ebx, esi and edi are saved, if at all, at one of three places below it:
// a few bits say all that the function's DWARF program says at its calls: a row of 3 to 10 bytes where
// its DWARF description takes 40 or so. The table is a header:
//   kCompactMagic, the rows' length in bytes (a multiple of 4), then relative to its own field the first
//   row's function and the kPersonalities personality routines of the rows with an LSDA (4 bytes each);
// then one row per function, in address order:
//   uleb128 twice the length, plus 1 when uleb128 bytes from the end of the previous function (or the
//   first) follow (most functions follow the last without a gap), the kind byte, and with kHasLsda: sleb128
//   twice the LSDA's distance from the previous row's LSDA (or the first function) plus its routine's number,
//   uleb128 count, then count places where the arguments pushed for calls change (ReadArgumentsPlace);
// then the DWARF records of the functions that do not fit a row, as in .eh_frame, ending with a zero word.
// The shipped program has none: every function of it that makes calls fits a row, its unwinder is
// compiled to read rows only (ORV_UNWIND_ROWS_ONLY) and the build checks that this holds.
constexpr std::uint32_t kCompactMagic = 0x31545643;  // "CVT1": no length a CIE or FDE could have
// C++'s routine and C's: link-time optimisation gives C's to some functions whose only handlers are cleanups.
constexpr int kPersonalities = 2;
constexpr int kCompactHeader = 12 + 4 * kPersonalities;
// The kind byte: for ebx, esi and edi (bits 0-1, 2-3, 4-5) 0 when the caller's value is still in the
// register, else n for the word at CFA - 8 - 4n.
constexpr unsigned char kFramePointer = 0x40;  // CFA = ebp + 8, ebp saved at CFA - 8; else CFA = esp + 4
constexpr unsigned char kHasLsda = 0x80;
constexpr Column kSlotColumns[] = {kEbx, kEsi, kEdi};

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
// A place of a compact row's arguments: uleb128 eight times its bytes from the previous place (or the
// function's start) plus the words pushed from there on, or plus 7 and the words in a uleb128 of their own
// when there are 7 or more (seldom: most calls take 0 to 3).
void ReadArgumentsPlace(const unsigned char*& p, std::uintptr_t& bytes, std::uintptr_t& words);
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
