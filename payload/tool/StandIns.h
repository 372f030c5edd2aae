#pragma once
// Stand-ins for the add-on's files, for builds without the maker's originals. Each is deterministic: the same
// size gives the same bytes on every machine, so a build made twice embeds the same payload.
#include <cstddef>
#include <cstdint>
#include <string>

namespace orv::tool {

// A fixed-seed byte stream (xorshift32): filler that neither compresses nor reads as text.
class FillerStream {
public:
    explicit FillerStream(std::uint32_t seed) : state_(seed != 0 ? seed : 1) {}
    unsigned char Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<unsigned char>(state_ >> 24);
    }
    void Append(std::string& bytes, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) bytes += static_cast<char>(Next());
    }

private:
    std::uint32_t state_;
};

// A compiled macro package for the host's macro language: a short header, then binary content.
std::string MakeMacroPackage(std::size_t size);

// A 16-bit Windows library module (NE format) named moduleName, with an initialisation routine, WEP and one
// exported function, padded with filler to size. Throws std::length_error when size is too small.
std::string MakeNeLibrary(const std::string& moduleName, std::size_t size);

}  // namespace orv::tool
