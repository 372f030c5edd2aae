#include "PeImage.h"

#include <cstdint>
#include <stdexcept>

namespace orv::tool {

namespace {

std::uint32_t Read(const std::string& bytes, std::size_t at, int width) {
    if (at + width > bytes.size()) throw std::runtime_error("the image is cut short");
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

}  // namespace

void MakeResourcesReadOnly(std::string& image) {
    constexpr std::uint32_t memWrite = 0x80000000;
    if (image.compare(0, 2, "MZ") != 0) throw std::runtime_error("not a Windows program");
    const std::size_t pe = Read(image, 0x3C, 4);
    if (Read(image, pe, 4) != 0x00004550) throw std::runtime_error("not a PE image");
    const std::size_t sections = Read(image, pe + 6, 2);
    const std::size_t table = pe + 24 + Read(image, pe + 20, 2);
    for (std::size_t i = 0; i < sections; ++i) {
        const std::size_t header = table + 40 * i;
        if (header + 40 > image.size()) throw std::runtime_error("the image is cut short");
        if (image.compare(header, 8, std::string(".rsrc\0\0\0", 8)) != 0) continue;
        const std::uint32_t flags = Read(image, header + 36, 4) & ~memWrite;
        for (int b = 0; b < 4; ++b) image[header + 36 + b] = static_cast<char>(flags >> (8 * b) & 0xFF);
        return;
    }
    throw std::runtime_error("the image has no resource section");
}

}  // namespace orv::tool
