#include <stdexcept>

#include "StandIns.h"

namespace orv::tool {

namespace {
void PutLittle32(std::string& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((value >> shift) & 0xFF);
}
}  // namespace

std::string MakeMacroPackage(std::size_t size) {
    constexpr std::uint32_t seed = 0x4F564D43;  // "OVMC"
    // The end-of-file mark and the NUL keep any tool from taking the package for text.
    std::string bytes("OVMCX\x1A\0\x01", 8);
    PutLittle32(bytes, static_cast<std::uint32_t>(size));
    PutLittle32(bytes, seed);
    if (size < bytes.size()) throw std::length_error("a macro package needs at least 16 bytes");
    FillerStream(seed).Append(bytes, size - bytes.size());
    return bytes;
}

}  // namespace orv::tool
