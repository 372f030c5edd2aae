// The standard exception classes the 32-bit program throws and catches, with the library's texts.
//
// The program's own exceptions derive from std::exception, the heap's failures throw std::bad_alloc (and
// std::bad_array_new_length, for a count too large to allocate), and the error display shows what() of any
// of them. libstdc++ defines their members in objects that also hold std::bad_exception and the runtime's
// forced-unwinding and foreign-exception classes, and pull in its type information classes: 1.1 KB here.
// Defining the first virtual function of a class here makes GCC write the class's vtable and its type
// information here too. This file alone is compiled with run-time type information: the type information
// of these classes is what catch (const std::exception&) matches, and without it GCC would expect the
// library's.
#include <exception>
#include <new>

std::exception::~exception() noexcept {}
const char* std::exception::what() const noexcept { return "std::exception"; }

std::bad_alloc::~bad_alloc() noexcept {}
const char* std::bad_alloc::what() const noexcept { return "std::bad_alloc"; }

std::bad_array_new_length::~bad_array_new_length() noexcept {}
const char* std::bad_array_new_length::what() const noexcept { return "std::bad_array_new_length"; }
