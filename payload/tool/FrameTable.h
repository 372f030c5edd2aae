#pragma once
// The compact unwind table of the 32-bit program, written once it is linked.
#include <string>

namespace orv::tool {

// Writes the compact table (its format: app/FrameRules.h) in place of the .eh_frame records of a linked
// 32-bit program, at the end of its .rdata behind the linker script's marker (cmake/ProgramLayout.cmake): a
// row for each function whose frame a row describes, the DWARF records of the others.
// With rowsOnly, for a program whose unwinder reads rows only, the others are left out, and a function
// among them that may make a call stops the build. Returns what it did, in a line; throws
// std::runtime_error on a table it cannot read exactly, a section the loader would relocate, or an image
// without the marker (one whose table is compact already among them).
std::string CompactFrameTable(std::string& image, bool rowsOnly);

}  // namespace orv::tool
