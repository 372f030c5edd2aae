// The 32-bit program's own throw, catch and catch matching (app/CxaRuntime.cpp, CatchTypes.cpp,
// StandardExceptions.cpp) on what its handlers do, each thrown object destroyed once; last, an exception leaving
// a noexcept function ends the program, whatever catches outside. No gtest: its library calls type information.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "CxaRuntime.h"

namespace {

int destroyed = 0;
struct Error : std::exception { int id; explicit Error(int i) : id(i) {} ~Error() override { ++destroyed; } };
struct Derived : Error { using Error::Error; };
[[noreturn]] __attribute__((noinline)) void Thrown(int id) { throw Derived(id); }
void Escapes() noexcept { Thrown(0); }
template <typename E> int Text(const char* what) { try { throw E(); } catch (const std::exception& e) { return !std::strcmp(e.what(), what); } }

// Two copies of one type's information, as two images would have: the same name at two addresses.
extern "C" const void* const classInfoVtable[3] asm("__ZTVN10__cxxabiv117__class_type_infoE");
char name1[] = "5Error", name2[] = "5Error", local1[] = "*5Local", local2[] = "*5Local";
int Same(const char* a, const char* b) {
    const void *x[] = {classInfoVtable + 2, a}, *y[] = {classInfoVtable + 2, b};
    return orv::cxa::Catches(reinterpret_cast<const std::type_info*>(x), reinterpret_cast<const std::type_info*>(y));
}

struct Case { const char* name; int (*run)(); int result, destroyed; };
const Case kCases[] = {
    {"its base's base", [] { try { Thrown(2); } catch (const std::exception&) { return 2; } }, 2, 1},
    {"another class, then catch (...)",
     [] { try { try { throw std::bad_alloc(); } catch (const Error&) { return 0; } } catch (...) { return 3; } }, 3, 0},
    {"std::bad_alloc's text", [] { return Text<std::bad_alloc>("std::bad_alloc"); }, 1, 0},
    {"std::bad_array_new_length's text", [] { return Text<std::bad_array_new_length>("std::bad_array_new_length"); }, 1, 0},
    {"rethrown, caught outside", [] { try { try { Thrown(6); } catch (...) { throw; } } catch (const Error& e) { return e.id; } }, 6, 1},
    {"rethrown, caught inside the handler", [] { try { Thrown(7); } catch (const Error& outer) {
         try { throw; } catch (const Error& inner) { if (&inner != &outer) return 0; }
         return destroyed ? 0 : outer.id; } }, 7, 1},
    {"another thrown and caught in a handler", [] { try { Thrown(8); } catch (const Error& outer) {
         try { Thrown(1); } catch (const Error& inner) { return outer.id + inner.id; } } }, 9, 2},
    {"one name at two addresses", [] { return Same(name1, name2); }, 1, 0},
    {"a type of its unit's own, its name at two addresses", [] { return Same(local1, local2); }, 0, 0},
};

}  // namespace

int main() {
    int failed = 0;
    for (const Case& c : kCases) {
        destroyed = 0;
        const int result = c.run();
        if (result != c.result || destroyed != c.destroyed)
            ++failed, std::printf("FAIL  %s: %d, %d destroyed\n", c.name, result, destroyed);
    }
    std::printf("%d cases, %d failed\n", int(sizeof kCases / sizeof *kCases), failed);
    std::fflush(stdout);
    if (failed == 0) std::signal(SIGABRT, [](int) { std::_Exit(0); });  // std::terminate ends in abort()
    void (*volatile escapes)() = Escapes;  // a call the compiler cannot see to be noexcept
    try { escapes(); } catch (...) {}
    return 1;
}
