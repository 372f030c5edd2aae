#pragma once
// Changes to a linked Windows program that its linker cannot be asked for.
#include <string>

namespace orv::tool {

// Clears the write permission of the image's resource section, so that the loaded resources are read-only
// pages as the resource functions promise (GNU ld maps them writable). Throws std::runtime_error when the
// bytes are not a PE image or it has no resource section.
void MakeResourcesReadOnly(std::string& image);

}  // namespace orv::tool
