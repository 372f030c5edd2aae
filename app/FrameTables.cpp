// How the unwinder finds the description of a frame, kept small.
//
// Unwinding a frame starts from its frame description (FDE), found by the frame's address. libgcc keeps a
// registry of every registered module's descriptions, sorted into a search table with locks for threads:
// 10 KB of a program that throws only to report an error. This program has one table, at the end of its
// read-only data, whose bounds the linker script gives (cmake/ProgramLayout.cmake); a lookup reads it from
// start to end, a few microseconds per frame on an error path. The build rewrites it once the program is
// linked: the compact rows of FrameRules.h first, then the records of the DWARF call frame information, as
// GCC writes them, for the functions no row describes: a CIE with what several functions share, then FDEs
// that point back to it. Only the 32-bit program unwinds this way; the 64-bit one uses the tables of Windows itself.
#include <cstdint>
#include <cstring>

#include "FrameRules.h"

extern "C" const unsigned char orv_eh_frame_start[], orv_eh_frame_end[];

namespace orv::unwind {

template <typename T>
std::uintptr_t Take(const unsigned char*& p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    p += sizeof value;
    return static_cast<std::uintptr_t>(value);
}

// Reads an address written with a DW_EH_PE encoding. The compiler writes absolute and pc-relative values of
// 2 or 4 bytes or of LEB128 form, the personality routine's and the catch types through a pointer (the
// indirect bit); any other encoding makes the record unreadable (false). As in libgcc, a zero stays zero: no
// LSDA, or a function the linker dropped.
bool ReadEncoded(unsigned char encoding, const unsigned char*& p, std::uintptr_t& value) {
    const auto field = reinterpret_cast<std::uintptr_t>(p);
    switch (encoding & 0x0f) {
    case 0x00: value = Take<std::uintptr_t>(p); break;  // DW_EH_PE_absptr
    case 0x01: value = ReadUleb(p); break;              // uleb128
    case 0x02: value = Take<std::uint16_t>(p); break;   // udata2
    case 0x03: value = Take<std::uint32_t>(p); break;   // udata4
    case 0x09: value = static_cast<std::uintptr_t>(ReadSleb(p)); break;  // sleb128
    case 0x0a: value = Take<std::int16_t>(p); break;    // sdata2
    case 0x0b: value = Take<std::int32_t>(p); break;    // sdata4
    default: return false;
    }
    if ((encoding & 0x70) > 0x10) return false;  // neither absolute nor DW_EH_PE_pcrel
    if (value == 0) return true;
    if (encoding & 0x10) value += field;
    if (encoding & 0x80) value = *reinterpret_cast<const std::uintptr_t*>(value);
    return true;
}

namespace {

std::uint32_t Word(const unsigned char* p) {
    std::uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

#if !ORV_UNWIND_ROWS_ONLY

// How a CIE's FDEs are written.
struct FdeLayout {
    bool augmented;  // the FDE holds augmentation data (a CIE augmentation starting with 'z')
    unsigned char encoding;
    unsigned char lsdaEncoding;
};

// What the CIE says for all its FDEs; false for a CIE this unwinder does not know.
bool ReadCie(const unsigned char* cie, FrameRecord& record, FdeLayout& layout) {
    const unsigned char* p = cie + 8;  // past the length and the CIE id
    const unsigned char version = *p++;
    const char* augmentation = reinterpret_cast<const char*>(p);
    p += std::strlen(augmentation) + 1;
    record.codeAlignment = ReadUleb(p);
    record.dataAlignment = ReadSleb(p);
    if ((version == 1 ? *p++ : ReadUleb(p)) != kEip) return false;
    layout = {*augmentation == 'z', 0x00, kOmitted};
    record.personality = nullptr;
    if (layout.augmented) {
        const std::uintptr_t length = ReadUleb(p);
        const unsigned char* data = p;
        for (const char* letter = augmentation + 1; *letter; ++letter) {
            std::uintptr_t personality;
            switch (*letter) {
            case 'R': layout.encoding = *data++; break;
            case 'L': layout.lsdaEncoding = *data++; break;
            case 'P':
                if (!ReadEncoded(*data++, data, personality)) return false;
                record.personality = reinterpret_cast<Personality>(personality);
                break;
            default: return false;  // 'S' (a signal frame) and later letters: never written for this program
            }
        }
        p += length;
    } else if (*augmentation != '\0') {
        return false;
    }
    record.initialRules = p;
    record.initialEnd = cie + 4 + Word(cie);
    return true;
}

#endif  // !ORV_UNWIND_ROWS_ONLY

// An address the table gives relative to the field that holds it, as the image may be loaded anywhere.
std::uintptr_t Relative(const unsigned char* field) {
    const std::uint32_t distance = Word(field);
    return distance ? reinterpret_cast<std::uintptr_t>(field) + distance : 0;
}

// Looks the address up in the compact table's rows; tells where the DWARF records after them begin.
bool FindCompactRow(std::uintptr_t address, FrameRecord& record, const unsigned char*& records) {
    const unsigned char* p = orv_eh_frame_start + kCompactHeader;
    const unsigned char* rowsEnd = p + Word(orv_eh_frame_start + 4);
    records = rowsEnd;
    std::uintptr_t start = Relative(orv_eh_frame_start + 8);
    std::uintptr_t lsda = start;
    while (p < rowsEnd) {
        const std::uintptr_t lengthAndGap = ReadUleb(p);
        if (lengthAndGap & 1) start += ReadUleb(p);
        const std::uintptr_t length = lengthAndGap >> 1;
        const unsigned char* row = p++;
        int routine = 0;
        if (*row & kHasLsda) {
            const std::intptr_t step = ReadSleb(p);
            lsda += step >> 1;
            routine = step & 1;
            std::uintptr_t bytes, words;
            for (std::uintptr_t count = ReadUleb(p); count > 0; --count) ReadArgumentsPlace(p, bytes, words);
        }
        if (address < start) return false;
        if (address - start < length) {
            record = {};
            record.functionStart = start;
            if (*row & kHasLsda) {
                record.lsda = reinterpret_cast<const unsigned char*>(lsda);
                record.personality = reinterpret_cast<Personality>(Relative(orv_eh_frame_start + 12 + 4 * routine));
            }
            record.compactRow = row;
            return true;
        }
        start += length;
    }
    return false;
}

}  // namespace

bool FindFrameRecord(std::uintptr_t address, FrameRecord& record) {
    const unsigned char* fde = orv_eh_frame_start;
    if (orv_eh_frame_end - fde >= kCompactHeader && Word(fde) == kCompactMagic && FindCompactRow(address, record, fde))
        return true;
#if ORV_UNWIND_ROWS_ONLY
    // The shipped program's table holds rows only (app/CMakeLists.txt).
    return false;
#else
    for (; orv_eh_frame_end - fde >= 8 && Word(fde) != 0; fde += 4 + Word(fde)) {
        if (Word(fde) == 0xffffffff) return false;  // 64-bit lengths: never written for this program
        const std::uint32_t cieDistance = Word(fde + 4);
        if (cieDistance == 0) continue;  // a CIE
        FdeLayout layout;
        if (!ReadCie(fde + 4 - cieDistance, record, layout)) continue;
        const unsigned char* p = fde + 8;
        std::uintptr_t begin, range;
        if (!ReadEncoded(layout.encoding, p, begin) || !ReadEncoded(layout.encoding & 0x0f, p, range)) continue;
        if (begin == 0 || address < begin || address - begin >= range) continue;
        record.functionStart = begin;
        std::uintptr_t lsda = 0;
        if (layout.augmented) {
            const std::uintptr_t length = ReadUleb(p);
            const unsigned char* data = p;
            if (layout.lsdaEncoding != kOmitted && !ReadEncoded(layout.lsdaEncoding, data, lsda)) return false;
            p += length;
        }
        record.lsda = reinterpret_cast<const unsigned char*>(lsda);
        record.rules = p;
        record.rulesEnd = fde + 4 + Word(fde);
        record.compactRow = nullptr;
        return true;
    }
    return false;
#endif
}

}  // namespace orv::unwind
