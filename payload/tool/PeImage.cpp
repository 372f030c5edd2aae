#include "PeImage.h"

#include <algorithm>
#include <stdexcept>

namespace orv::tool {

namespace {

std::uint32_t Read(const std::string& bytes, std::size_t at, int width) {
    if (at + width > bytes.size() || at + width < at) throw std::runtime_error("the image is cut short");
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void Write32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int b = 0; b < 4; ++b) bytes[at + b] = static_cast<char>(value >> (8 * b) & 0xFF);
}

// Where the headers of a PE image are.
struct Layout {
    std::size_t pe = 0;          // "PE\0\0"
    std::size_t optional = 0;    // the optional header
    std::size_t directories = 0; // its data directories
    std::size_t directoryCount = 0;
    std::size_t sections = 0;    // the section table
    std::size_t sectionCount = 0;
};

Layout Headers(const std::string& image) {
    if (image.compare(0, 2, "MZ") != 0) throw std::runtime_error("not a Windows program");
    Layout at;
    at.pe = Read(image, 0x3C, 4);
    if (Read(image, at.pe, 4) != 0x00004550) throw std::runtime_error("not a PE image");
    at.sectionCount = Read(image, at.pe + 6, 2);
    at.optional = at.pe + 24;
    at.sections = at.optional + Read(image, at.pe + 20, 2);
    const bool plus = Read(image, at.optional, 2) == 0x20B;  // PE32+ (x86_64) has wider fields
    at.directoryCount = Read(image, at.optional + (plus ? 108 : 92), 4);
    at.directories = at.optional + (plus ? 112 : 96);
    return at;
}

constexpr std::size_t ResourceDirectory = 2;
constexpr std::size_t SecurityDirectory = 4;
constexpr std::size_t RelocationDirectory = 5;
constexpr std::size_t DebugDirectory = 6;

std::uint32_t Directory(const std::string& image, const Layout& at, std::size_t index, std::uint32_t* size) {
    if (index >= at.directoryCount) return *size = 0;
    *size = Read(image, at.directories + 8 * index + 4, 4);
    return Read(image, at.directories + 8 * index, 4);
}

// The file offset of an address in the loaded image, with at least `length` bytes of the section after it.
std::size_t FileOffset(const std::string& image, const Layout& at, std::uint32_t rva, std::uint32_t length) {
    for (std::size_t i = 0; i < at.sectionCount; ++i) {
        const std::size_t header = at.sections + 40 * i;
        const std::uint32_t address = Read(image, header + 12, 4);
        const std::uint32_t rawSize = Read(image, header + 16, 4);
        const std::uint32_t rawStart = Read(image, header + 20, 4);
        if (rva < address || rva - address >= rawSize) continue;
        if (length > rawSize - (rva - address)) break;
        const std::size_t offset = std::size_t(rawStart) + (rva - address);
        if (offset + length > image.size()) break;
        return offset;
    }
    throw std::runtime_error("an address of the image lies outside its sections");
}

// The header of the section of this name, or 0 when there is none.
std::size_t SectionHeader(const std::string& image, const Layout& at, const std::string& name) {
    std::string held(8, '\0');
    held.replace(0, name.size(), name);
    for (std::size_t i = 0; i < at.sectionCount; ++i) {
        const std::size_t header = at.sections + 40 * i;
        if (header + 40 > image.size()) throw std::runtime_error("the image is cut short");
        if (image.compare(header, 8, held) == 0) return header;
    }
    return 0;
}

}  // namespace

bool FindSection(const std::string& image, const std::string& name, Section& section) {
    const Layout at = Headers(image);
    const std::size_t header = SectionHeader(image, at, name);
    if (header == 0) return false;
    section.virtualSize = Read(image, header + 8, 4);
    section.rva = Read(image, header + 12, 4);
    const std::uint32_t rawSize = std::min(Read(image, header + 16, 4), section.virtualSize);
    const std::uint32_t rawStart = Read(image, header + 20, 4);
    if (std::size_t(rawStart) + rawSize > image.size()) throw std::runtime_error("the image is cut short");
    section.bytes = image.substr(rawStart, rawSize);
    return true;
}

void ShrinkSection(std::string& image, const std::string& name, const std::string& bytes) {
    const Layout at = Headers(image);
    std::uint32_t size = 0;
    if (Directory(image, at, SecurityDirectory, &size) != 0 || size != 0)
        throw std::runtime_error("the image is signed already");
    if (Directory(image, at, DebugDirectory, &size) != 0 || size != 0)
        throw std::runtime_error("the image has a debug directory, whose file offsets would move");
    const std::size_t header = SectionHeader(image, at, name);
    if (header == 0) throw std::runtime_error("the image has no section " + name);
    const std::uint32_t alignment = Read(image, at.optional + 36, 4);
    const std::uint32_t rawSize = Read(image, header + 16, 4);
    const std::uint32_t rawStart = Read(image, header + 20, 4);
    const std::uint32_t newSize = std::uint32_t((bytes.size() + alignment - 1) / alignment * alignment);
    if (bytes.size() > Read(image, header + 8, 4) || newSize > rawSize)
        throw std::runtime_error("the new bytes of " + name + " do not fit in its place");
    std::string raw = bytes;
    raw.resize(newSize, '\0');
    image.replace(rawStart, rawSize, raw);
    const std::uint32_t moved = rawSize - newSize;
    Write32(image, header + 16, newSize);
    for (std::size_t i = 0; i < at.sectionCount; ++i) {
        const std::size_t other = at.sections + 40 * i;
        const std::uint32_t start = Read(image, other + 20, 4);
        if (start > rawStart) Write32(image, other + 20, start - moved);
    }
    const std::uint32_t symbols = Read(image, at.pe + 12, 4);
    if (symbols > rawStart) Write32(image, at.pe + 12, symbols - moved);
    Write32(image, at.optional + 8, Read(image, at.optional + 8, 4) - moved);  // SizeOfInitializedData
    if (Read(image, at.optional + 64, 4) != 0) Write32(image, at.optional + 64, ImageChecksum(image));
}

std::string_view ImageBytes(const std::string& image, std::uint32_t rva, std::uint32_t length) {
    const Layout at = Headers(image);
    return std::string_view(image).substr(FileOffset(image, at, rva, length), length);
}

std::uint32_t ImageWord(const std::string& image, std::uint32_t rva) {
    const Layout at = Headers(image);
    return Read(image, FileOffset(image, at, rva, 4), 4);
}

std::uint32_t ImageBase(const std::string& image) {
    const Layout at = Headers(image);
    if (Read(image, at.optional, 2) == 0x20B) throw std::runtime_error("not a 32-bit program");
    return Read(image, at.optional + 28, 4);
}

bool Relocated(const std::string& image, std::uint32_t rva, std::uint32_t size) {
    const Layout at = Headers(image);
    std::uint32_t length = 0;
    const std::uint32_t table = Directory(image, at, RelocationDirectory, &length);
    if (table == 0 || length == 0) return false;
    const std::size_t base = FileOffset(image, at, table, length);
    for (std::size_t block = 0; block + 8 <= length;) {
        const std::uint32_t page = Read(image, base + block, 4);
        const std::uint32_t blockSize = Read(image, base + block + 4, 4);
        if (blockSize < 8 || block + blockSize > length) throw std::runtime_error("the relocations are damaged");
        for (std::size_t entry = 8; entry + 2 <= blockSize; entry += 2) {
            const std::uint32_t value = Read(image, base + block + entry, 2);
            const std::uint32_t address = page + (value & 0x0FFF);
            if (value >> 12 != 0 && address + 4 > rva && address < rva + size) return true;
        }
        block += blockSize;
    }
    return false;
}

std::uint32_t ImageChecksum(const std::string& image) {
    const Layout at = Headers(image);
    std::string copy = image;
    Write32(copy, at.optional + 64, 0);  // the field itself counts as zero
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < copy.size(); i += 2) {
        sum += static_cast<unsigned char>(copy[i]) |
               (i + 1 < copy.size() ? static_cast<std::uint32_t>(static_cast<unsigned char>(copy[i + 1])) << 8 : 0);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return sum + static_cast<std::uint32_t>(copy.size());
}

void Seal(std::string& image, std::uint32_t timeStamp) {
    constexpr std::uint32_t memWrite = 0x80000000;
    const Layout at = Headers(image);
    std::uint32_t certificatesSize = 0;
    if (Directory(image, at, SecurityDirectory, &certificatesSize) != 0 || certificatesSize != 0)
        throw std::runtime_error("the image is signed already; seal it before signing");
    const std::size_t header = SectionHeader(image, at, ".rsrc");
    if (header == 0) throw std::runtime_error("the image has no resource section");
    Write32(image, header + 36, Read(image, header + 36, 4) & ~memWrite);
    Write32(image, at.pe + 8, timeStamp);
    Write32(image, at.optional + 64, ImageChecksum(image));
}

bool FindDataResource(const std::string& image, const std::string& name, std::string_view& bytes) {
    constexpr std::uint32_t rtRcdata = 10;
    constexpr std::uint32_t high = 0x80000000;
    const Layout at = Headers(image);
    std::uint32_t size = 0;
    const std::uint32_t rva = Directory(image, at, ResourceDirectory, &size);
    if (rva == 0) return false;
    const std::size_t base = FileOffset(image, at, rva, size);
    // The entry of a directory level that matches, as the offset its entry points to; 0 when none does.
    const auto lookUp = [&](std::uint32_t directory, auto matches) -> std::uint32_t {
        const std::size_t header = base + directory;
        const std::size_t count = Read(image, header + 12, 2) + Read(image, header + 14, 2);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t entry = header + 16 + 8 * i;
            if (matches(Read(image, entry, 4))) return Read(image, entry + 4, 4);
        }
        return 0;
    };
    const auto named = [&](std::uint32_t id) {
        if (!(id & high)) return false;
        const std::size_t text = base + (id & ~high);
        const std::size_t length = Read(image, text, 2);
        if (length != name.size()) return false;
        for (std::size_t i = 0; i < length; ++i) {
            const std::uint32_t c = Read(image, text + 2 + 2 * i, 2);
            const auto upper = [](std::uint32_t ch) { return ch >= 'a' && ch <= 'z' ? ch - 32 : ch; };
            if (upper(c) != upper(static_cast<unsigned char>(name[i]))) return false;
        }
        return true;
    };
    const std::uint32_t names = lookUp(0, [](std::uint32_t id) { return id == rtRcdata; });
    if (!(names & high)) return false;
    const std::uint32_t languages = lookUp(names & ~high, named);
    if (!(languages & high)) return false;
    const std::uint32_t data = lookUp(languages & ~high, [](std::uint32_t) { return true; });
    if (data == 0 || (data & high)) return false;
    const std::uint32_t dataRva = Read(image, base + data, 4);
    const std::uint32_t dataSize = Read(image, base + data + 4, 4);
    bytes = std::string_view(image).substr(FileOffset(image, at, dataRva, dataSize), dataSize);
    return true;
}

}  // namespace orv::tool
