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

// A section of a linked program: where it is loaded, relative to the image base, and its bytes in the file.
struct Section {
    std::uint32_t rva = 0;
    std::uint32_t virtualSize = 0;
    std::string bytes;
};

// The section of this name (8 bytes at most, as a section header holds it); false when the image has none.
bool FindSection(const std::string& image, const std::string& name, Section& section);

// Puts fewer bytes in place of the section's: the file loses the whole units of its alignment that are no
// longer needed and the sections after it move up in the file, while every address of the loaded image stays
// as it was (the rest of the section is zeros in memory). Throws std::runtime_error on a signed image or one
// with a debug directory, whose file offsets would move.
void ShrinkSection(std::string& image, const std::string& name, const std::string& bytes);

// The bytes or the word at this address of the image as linked (before the loader relocates it), and the
// image's base.
std::string_view ImageBytes(const std::string& image, std::uint32_t rva, std::uint32_t length);
std::uint32_t ImageWord(const std::string& image, std::uint32_t rva);
std::uint32_t ImageBase(const std::string& image);

// Whether the loader relocates any word within [rva, rva + size).
bool Relocated(const std::string& image, std::uint32_t rva, std::uint32_t size);

}  // namespace orv::tool
