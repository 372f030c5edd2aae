#pragma once
// One string made of its pieces in one allocation. A chain of "+" builds a temporary string at each step, and
// each needs its own cleanup should the next step throw: in a program this size that is kilobytes of code.
#include <initializer_list>
#include <string>
#include <string_view>

#include "StringCode.h"

namespace orv {

std::string Joined(std::initializer_list<std::string_view> pieces);

// A number's decimal digits as a piece of a joined text, held in place: no string of their own to free.
class Decimal {
public:
    explicit Decimal(unsigned long value);
    operator std::string_view() const { return {digits_ + start_, sizeof digits_ - start_}; }

private:
    char digits_[20];  // 2^64 has 20 digits
    unsigned char start_ = sizeof digits_;
};

}  // namespace orv
