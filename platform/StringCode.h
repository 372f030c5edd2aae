#pragma once
// The std::string constructors every unit calls, compiled once (StringCode.cpp) rather than in each unit that
// calls them. GCC gives such an inline constructor, on Windows, a body private to each unit, which the
// link-time optimiser neither merges nor drops: a dozen copies of each, 4 KB of code and unwind tables.
#include <string>

extern template std::string::basic_string(const std::string&);
extern template std::string::basic_string(std::string&&) noexcept;
extern template std::string::basic_string(const char*, const std::allocator<char>&);
extern template std::string::basic_string(const char*, std::size_t, const std::allocator<char>&);
