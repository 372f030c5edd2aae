#include "StringCode.h"

template std::string::basic_string(const std::string&);
template std::string::basic_string(std::string&&) noexcept;
template std::string::basic_string(const char*, const std::allocator<char>&);
template std::string::basic_string(const char*, std::size_t, const std::allocator<char>&);
