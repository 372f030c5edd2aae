#pragma once
// Reading and changing a linked Windows program where its linker cannot be asked to.
#include <cstdint>
#include <string>
#include <string_view>

namespace orv::tool {

// Seals a linked program: clears the write permission of its resource section, so that the loaded
// resources are read-only pages as the resource functions promise (GNU ld maps them writable), sets its
// time stamp and then its checksum. Throws std::runtime_error when the bytes are not a PE image, it has no
// resource section, or it is signed already (a signature covers these bytes: sign after sealing).
void Seal(std::string& image, std::uint32_t timeStamp);

// The checksum Windows computes for an image file (the one its header holds when it is right).
std::uint32_t ImageChecksum(const std::string& image);

// The bytes of the data resource (RT_RCDATA) of this name, compared as Windows does, without case; the
// first language. False when the image has no such resource; throws std::runtime_error when the bytes are
// not a PE image or its resources run outside it.
bool FindDataResource(const std::string& image, const std::string& name, std::string_view& bytes);

}  // namespace orv::tool
