// The 32-bit program's own unwinder (app/Unwinder.cpp) on the kinds of frames the program's throws cross:
// arguments pushed around a call (DW_CFA_GNU_args_size), destructors on the way, a function that realigns
// its stack (DWARF expressions), a rethrow and a throw from a handler. Each case returns what it saw.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "FrameRules.h"

namespace {

int destroyed = 0;
struct Counted {
    std::string name;
    ~Counted() { ++destroyed; }
};

__attribute__((noinline)) void Throw(int a, int b, int c, int d) {
    if (a + b + c + d > 0) throw std::runtime_error("thrown");
}

__attribute__((noinline)) int Nested(int depth, const char* tag, int value) {
    Counted counted{tag};
    if (depth == 0) {
        Throw(value, 2, 3, 4);
        return 0;
    }
    return Nested(depth - 1, tag, value + 1) + static_cast<int>(std::strlen(tag));
}

__attribute__((noinline)) int Realigned(int value) {
    alignas(32) volatile char buffer[64];
    std::memset(const_cast<char*>(buffer), value, sizeof buffer);
    Counted counted{"aligned"};
    Nested(2, "r", value);
    return buffer[3];
}

// The destructors run on the way to the handler: one per frame left.
int CleanupsRun(int (*throwing)()) {
    destroyed = 0;
    try {
        throwing();
    } catch (const std::runtime_error&) {
        return destroyed;
    }
    return -1;
}

// The handler reads its frame's locals after the call that pushed four arguments.
__attribute__((noinline)) int LocalsAfterCatch(int value) {
    volatile int local[4] = {value, value + 1, value + 2, value + 3};
    try {
        Throw(local[0], local[1], local[2], local[3]);
    } catch (const std::exception&) {
        return local[0] + local[3];
    }
    return -1;
}

// Values live across the call stay in ebx, esi and edi, which the frames in between used for their own.
__attribute__((noinline)) int Clobbering(int value) {
    const int a = value * 11, b = value * 13, c = value * 17;
    Throw(a, b, c, value);
    return a + b + c;
}

__attribute__((noinline)) int RegistersKept(int value) {
    const int a = value * 3, b = value * 5, c = value * 7;
    try {
        Clobbering(value + a);
    } catch (const std::exception&) {
        return a + b + c;
    }
    return -1;
}

int Rethrown() {
    try {
        try {
            Nested(1, "x", 1);
        } catch (...) {
            throw;
        }
    } catch (const std::runtime_error&) {
        return 1;
    }
    return -1;
}

int ThrownFromHandler() {
    try {
        try {
            Throw(1, 1, 1, 1);
        } catch (const std::exception&) {
            Counted counted{"handler"};
            throw std::logic_error("second");
        }
    } catch (const std::logic_error& error) {
        return std::string(error.what()) == "second" ? 2 : -1;
    }
    return -1;
}

struct Case {
    const char* name;
    int (*run)();
    int expected;
};

const Case kCases[] = {
    {"pushed arguments, four frames", [] { return CleanupsRun([] { return Nested(3, "a", 1); }); }, 4},
    {"a realigned frame", [] { return CleanupsRun([] { return Realigned(7); }); }, 4},
    {"locals after the catch", [] { return LocalsAfterCatch(10); }, 23},
    {"registers the handler keeps", [] { return RegistersKept(2); }, 30},
    {"rethrow", Rethrown, 1},
    {"throw from a handler", ThrownFromHandler, 2},
};

TEST(Unwinder, CatchesAcrossTheProgramsKindsOfFrames) {
    for (const Case& c : kCases) EXPECT_EQ(c.run(), c.expected) << c.name;
}

// The build wrote the compact table: a row for a function with a frame pointer, the DWARF records of one that
// realigns its stack. The cases above cross both.
TEST(Unwinder, ReadsRowsAndDwarfRecords) {
    orv::unwind::FrameRecord record;
    ASSERT_TRUE(orv::unwind::FindFrameRecord(reinterpret_cast<std::uintptr_t>(&Nested) + 1, record));
    EXPECT_NE(record.compactRow, nullptr);
    ASSERT_TRUE(orv::unwind::FindFrameRecord(reinterpret_cast<std::uintptr_t>(&Realigned) + 1, record));
    EXPECT_EQ(record.compactRow, nullptr);
}

}  // namespace
