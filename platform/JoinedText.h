#pragma once
// One string made of its pieces in one allocation. A chain of "+" builds a temporary string at each step, and
// each needs its own cleanup should the next step throw: in a program this size that is kilobytes of code.
#include <initializer_list>
#include <string>
#include <string_view>

#include "StringCode.h"

namespace orv {

std::string Joined(std::initializer_list<std::string_view> pieces);

}  // namespace orv
