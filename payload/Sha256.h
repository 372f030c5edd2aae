#pragma once
// SHA-256, for the evidence an unattended run records of every file it writes or checks.
#include <cstddef>
#include <cstdint>
#include <string>

#include "StringCode.h"

namespace orv {

class Sha256 {
public:
    Sha256();
    void Update(const unsigned char* data, std::size_t size);
    // The digest as 64 lower-case hex digits; the object is spent afterwards.
    std::string HexDigest();

    static std::string Of(const unsigned char* data, std::size_t size);
    static std::string Of(const std::string& bytes) {
        return Of(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    }

private:
    void Block(const unsigned char* block);

    std::uint32_t state_[8];
    unsigned char buffer_[64];
    std::size_t buffered_ = 0;
    // The bytes fed so far, low word first. A 64-bit member would align the object to 8 bytes, more than a
    // 32-bit Windows thread's stack keeps, and every frame holding one would realign its stack.
    std::uint32_t length_[2] = {0, 0};
    std::uint64_t Length() const { return std::uint64_t(length_[1]) << 32 | length_[0]; }
};

}  // namespace orv
