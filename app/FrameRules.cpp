// The rules that say where a frame's caller keeps its registers, read from the call frame instructions
// GCC writes for i386, and followed to step from a frame to its caller.
//
// A frame description holds a small program: starting from the function's first byte, each instruction
// moves the address on or changes a rule (the CFA, the caller's stack pointer before the call, is now
// 16 bytes above esp; ebx is saved 8 bytes below the CFA; ...). Running it up to an address gives the
// rules in effect there. Only the instructions GCC writes for this program's code are known here; on any
// other the frame is unreadable and the unwinding stops (the throw then ends in std::terminate), since a
// guessed rule would resume the program with wrong registers.
#include "FrameRules.h"

namespace orv::unwind {

std::uintptr_t ReadUleb(const unsigned char*& p) {
    std::uintptr_t value = 0;
    unsigned shift = 0;
    unsigned char byte;
    do {
        byte = *p++;
        if (shift < 32) value |= std::uintptr_t(byte & 0x7f) << shift;
        shift += 7;
    } while (byte & 0x80);
    return value;
}

std::intptr_t ReadSleb(const unsigned char*& p) {
    const unsigned char* start = p;
    std::uintptr_t value = ReadUleb(p);
    const unsigned bits = 7 * unsigned(p - start);
    if (bits < 32 && (p[-1] & 0x40)) value |= ~std::uintptr_t(0) << bits;  // the sign bit of the last byte
    return static_cast<std::intptr_t>(value);
}

void ReadArgumentsPlace(const unsigned char*& p, std::uintptr_t& bytes, std::uintptr_t& words) {
    const std::uintptr_t place = ReadUleb(p);
    bytes = place >> 3;
    words = place & 7;
    if (words == 7) words = ReadUleb(p);
}

namespace {

#if ORV_UNWIND_ROWS_ONLY

// The shipped program's table holds rows only (app/CMakeLists.txt): no DWARF program is ever run and no
// expression evaluated, and the code that would do it is left out.
bool Evaluate(const unsigned char*, const Registers&, const std::uintptr_t*, std::uintptr_t&) { return false; }

#else

// remember_state nests as deep as a function's epilogues inside its body: GCC writes one level.
constexpr int kRememberedStates = 4;

struct Machine {
    const FrameRecord& record;
    std::uintptr_t target;    // the address whose rules are wanted
    std::uintptr_t location;  // the address the instructions have reached
    FrameRules rules;
    FrameRules initial;       // the CIE's rules, to which DW_CFA_restore returns
    FrameRules remembered[kRememberedStates];
    int depth;
    std::uintptr_t argsSize;

    bool Set(std::uintptr_t column, Rule rule, std::intptr_t offset = 0, const unsigned char* expression = nullptr) {
        if (column >= kColumns) return false;  // a register GCC never saves for i386
        rules.reg[column] = {rule, offset, expression};
        return true;
    }

    bool Restore(std::uintptr_t column) {
        if (column >= kColumns) return false;
        rules.reg[column] = initial.reg[column];
        return true;
    }

    static const unsigned char* SkipBlock(const unsigned char* p) {
        const std::uintptr_t length = ReadUleb(p);
        return p + length;
    }

    bool Run(const unsigned char* p, const unsigned char* end);
};

// Runs the instructions until the address passes the target, as libgcc does: the rules of an address are
// those of the last row that starts at or before it.
bool Machine::Run(const unsigned char* p, const unsigned char* end) {
    while (p < end && location <= target) {
        const unsigned char op = *p++;
        const unsigned char low = op & 0x3f;
        std::uintptr_t column;
        switch (op >> 6) {
        case 1: location += low * record.codeAlignment; continue;  // DW_CFA_advance_loc
        case 2:                                                        // DW_CFA_offset
            if (!Set(low, Rule::kAtCfa, std::intptr_t(ReadUleb(p)) * record.dataAlignment)) return false;
            continue;
        case 3:  // DW_CFA_restore
            if (!Restore(low)) return false;
            continue;
        }
        switch (op) {
        case 0x00: break;                                                             // DW_CFA_nop
        case 0x02: location += *p++ * record.codeAlignment; break;                    // advance_loc1
        case 0x03: location += (p[0] | p[1] << 8) * record.codeAlignment; p += 2; break;  // advance_loc2
        case 0x04:                                                                    // advance_loc4
            location += (p[0] | p[1] << 8 | p[2] << 16 | std::uintptr_t(p[3]) << 24) * record.codeAlignment;
            p += 4;
            break;
        case 0x05:  // DW_CFA_offset_extended
            column = ReadUleb(p);
            if (!Set(column, Rule::kAtCfa, std::intptr_t(ReadUleb(p)) * record.dataAlignment)) return false;
            break;
        case 0x11:  // DW_CFA_offset_extended_sf
            column = ReadUleb(p);
            if (!Set(column, Rule::kAtCfa, ReadSleb(p) * record.dataAlignment)) return false;
            break;
        case 0x06:  // DW_CFA_restore_extended
            if (!Restore(ReadUleb(p))) return false;
            break;
        case 0x07:  // DW_CFA_undefined
            if (!Set(ReadUleb(p), Rule::kUndefined)) return false;
            break;
        case 0x08:  // DW_CFA_same_value
            if (!Set(ReadUleb(p), Rule::kSame)) return false;
            break;
        case 0x09:  // DW_CFA_register
            column = ReadUleb(p);
            if (!Set(column, Rule::kInRegister, std::intptr_t(ReadUleb(p))) ||
                std::uintptr_t(rules.reg[column].offset) >= kColumns)
                return false;
            break;
        case 0x0a:  // DW_CFA_remember_state
            if (depth == kRememberedStates) return false;
            remembered[depth++] = rules;
            break;
        case 0x0b:  // DW_CFA_restore_state
            if (depth == 0) return false;
            rules = remembered[--depth];
            break;
        case 0x0c:  // DW_CFA_def_cfa
            rules.cfaRegister = int(ReadUleb(p));
            rules.cfaOffset = std::intptr_t(ReadUleb(p));
            rules.cfaExpression = nullptr;
            break;
        case 0x12:  // DW_CFA_def_cfa_sf
            rules.cfaRegister = int(ReadUleb(p));
            rules.cfaOffset = ReadSleb(p) * record.dataAlignment;
            rules.cfaExpression = nullptr;
            break;
        case 0x0d:  // DW_CFA_def_cfa_register
            rules.cfaRegister = int(ReadUleb(p));
            rules.cfaExpression = nullptr;
            break;
        case 0x0e: rules.cfaOffset = std::intptr_t(ReadUleb(p)); break;          // DW_CFA_def_cfa_offset
        case 0x13: rules.cfaOffset = ReadSleb(p) * record.dataAlignment; break;  // def_cfa_offset_sf
        case 0x0f:  // DW_CFA_def_cfa_expression: a function that realigns its stack
            rules.cfaExpression = p;
            p = SkipBlock(p);
            break;
        case 0x10:  // DW_CFA_expression
            column = ReadUleb(p);
            if (!Set(column, Rule::kAtExpression, 0, p)) return false;
            p = SkipBlock(p);
            break;
        case 0x2e: argsSize = ReadUleb(p); break;  // DW_CFA_GNU_args_size: pushed for the call here
        default: return false;
        }
    }
    return true;
}

// Evaluates the DWARF expressions GCC writes for a function that realigns its stack: a register plus an
// offset, perhaps read through. For a register's rule the CFA is on the stack first, as the format says.
bool Evaluate(const unsigned char* p, const Registers& registers, const std::uintptr_t* cfa,
              std::uintptr_t& result) {
    std::uintptr_t stack[4];
    int depth = 0;
    if (cfa) stack[depth++] = *cfa;
    const std::uintptr_t length = ReadUleb(p);
    for (const unsigned char* end = p + length; p < end;) {
        const unsigned char op = *p++;
        if (op >= 0x70 && op < 0x70 + kColumns) {  // DW_OP_breg<n>
            if (depth == 4) return false;
            stack[depth++] = registers.value[op - 0x70] + ReadSleb(p);
        } else if (op == 0x06 && depth > 0) {  // DW_OP_deref
            stack[depth - 1] = *reinterpret_cast<const std::uintptr_t*>(stack[depth - 1]);
        } else if (op == 0x23 && depth > 0) {  // DW_OP_plus_uconst
            stack[depth - 1] += ReadUleb(p);
        } else {
            return false;
        }
    }
    if (depth == 0) return false;
    result = stack[depth - 1];
    return true;
}

#endif  // ORV_UNWIND_ROWS_ONLY

// A row of the compact table says what the DWARF program says at the function's calls.
void CompactRulesAt(const FrameRecord& record, std::uintptr_t address, FrameRules& rules,
                    std::uintptr_t& argsSize) {
    const unsigned char* p = record.compactRow;
    const unsigned char kind = *p++;
    for (RegisterRule& reg : rules.reg) reg = {Rule::kSame, 0, nullptr};
    const bool frame = kind & kFramePointer;
    rules.cfaRegister = frame ? kEbp : kEsp;
    rules.cfaOffset = frame ? 8 : 4;
    rules.cfaExpression = nullptr;
    rules.reg[kEip] = {Rule::kAtCfa, -4, nullptr};
    if (frame) rules.reg[kEbp] = {Rule::kAtCfa, -8, nullptr};
    for (int i = 0; i < 3; ++i)
        if (const int slot = kind >> 2 * i & 3) rules.reg[kSlotColumns[i]] = {Rule::kAtCfa, -8 - 4 * slot, nullptr};
    argsSize = 0;
    if (!(kind & kHasLsda)) return;
    ReadSleb(p);
    std::uintptr_t place = record.functionStart;
    for (std::uintptr_t count = ReadUleb(p); count > 0; --count) {
        std::uintptr_t bytes, words;
        ReadArgumentsPlace(p, bytes, words);
        place += bytes;
        if (place > address) return;
        argsSize = 4 * words;
    }
}

}  // namespace

bool RulesAt(const FrameRecord& record, std::uintptr_t address, FrameRules& rules, std::uintptr_t& argsSize) {
    if (record.compactRow) {
        CompactRulesAt(record, address, rules, argsSize);
        return true;
    }
#if ORV_UNWIND_ROWS_ONLY
    return false;
#else
    Machine machine{record, address, record.functionStart, {}, {}, {}, 0, 0};
    // Every register keeps its value until a rule says otherwise; the CFA is unknown until the CIE sets it.
    for (RegisterRule& reg : machine.rules.reg) reg = {Rule::kSame, 0, nullptr};
    machine.rules.cfaRegister = kColumns;
    machine.rules.cfaExpression = nullptr;
    if (!machine.Run(record.initialRules, record.initialEnd)) return false;
    machine.initial = machine.rules;
    if (!machine.Run(record.rules, record.rulesEnd)) return false;
    rules = machine.rules;
    argsSize = machine.argsSize;
    return true;
#endif
}

bool StepOut(const FrameRules& rules, Registers& registers) {
    std::uintptr_t cfa;
    if (rules.cfaExpression) {
        if (!Evaluate(rules.cfaExpression, registers, nullptr, cfa)) return false;
    } else {
        if (rules.cfaRegister < 0 || rules.cfaRegister >= kColumns) return false;
        cfa = registers.value[rules.cfaRegister] + rules.cfaOffset;
    }
    // The caller's stack lies above the frame's; anything else is a damaged stack or a misread rule, and
    // stepping on could loop for ever.
    if (cfa <= registers.value[kEsp]) return false;
    Registers caller = registers;
    for (int column = 0; column < kColumns; ++column) {
        const RegisterRule& reg = rules.reg[column];
        std::uintptr_t address = cfa + reg.offset;
        switch (reg.rule) {
        case Rule::kSame: break;
        case Rule::kUndefined: break;  // nothing to restore; for eip it ends the stack (below)
        case Rule::kInRegister: caller.value[column] = registers.value[reg.offset]; break;
        case Rule::kAtExpression:
            if (!Evaluate(reg.expression, registers, &cfa, address)) return false;
            [[fallthrough]];
        case Rule::kAtCfa: caller.value[column] = *reinterpret_cast<const std::uintptr_t*>(address); break;
        }
    }
    // The caller's stack pointer is the CFA by definition; the return address must have been saved.
    const Rule ra = rules.reg[kEip].rule;
    if (rules.reg[kEsp].rule != Rule::kSame || ra == Rule::kSame || ra == Rule::kUndefined) return false;
    caller.value[kEsp] = cfa;
    registers = caller;
    return true;
}

}  // namespace orv::unwind
