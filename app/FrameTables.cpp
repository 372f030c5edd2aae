// How the unwinder finds the description of a frame, kept small.
//
// To unwind a frame, libgcc's unwinder asks _Unwind_Find_FDE for the frame description (FDE) that covers
// the frame's address. The library's own registry sorts the descriptions of every registered module into
// a search table, with locks for threads: 10 KB of a program that throws only to report an error. This
// program has one table, its .eh_frame section, whose bounds the linker gives (app/CMakeLists.txt); a
// lookup reads it from start to end, a few microseconds per frame on an error path. The records are those
// of the DWARF call frame information as GCC writes them (a CIE, then FDEs that point back to it). Only the
// 32-bit program unwinds this way; the 64-bit one uses the tables of Windows itself.
#include <cstdint>
#include <cstring>

extern "C" const unsigned char orv_eh_frame_start[], orv_eh_frame_end[];

namespace {

// libgcc's struct dwarf_eh_bases: what an address in the description is relative to.
struct EhBases {
    void* tbase;
    void* dbase;
    void* func;
};

std::uint32_t Word(const unsigned char* p) {
    std::uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

void SkipLeb128(const unsigned char*& p) {
    while (*p++ & 0x80) {
    }
}

// Reads an address written with a DW_EH_PE encoding. The compiler writes absolute and pc-relative
// addresses of 2, 4 or 8 bytes; any other encoding makes the record unreadable (false).
template <typename T>
std::uintptr_t Take(const unsigned char*& p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    p += sizeof value;
    return static_cast<std::uintptr_t>(value);
}

bool ReadEncoded(unsigned char encoding, const unsigned char*& p, std::uintptr_t& value) {
    const auto field = reinterpret_cast<std::uintptr_t>(p);
    switch (encoding & 0x0f) {
    case 0x00: value = Take<std::uintptr_t>(p); break;  // DW_EH_PE_absptr
    case 0x02: value = Take<std::uint16_t>(p); break;   // udata2
    case 0x03: value = Take<std::uint32_t>(p); break;   // udata4
    case 0x04: value = Take<std::uint64_t>(p); break;   // udata8
    case 0x0a: value = Take<std::int16_t>(p); break;    // sdata2
    case 0x0b: value = Take<std::int32_t>(p); break;    // sdata4
    case 0x0c: value = Take<std::int64_t>(p); break;    // sdata8
    default: return false;
    }
    switch (encoding & 0x70) {
    case 0x00: return true;                           // absolute
    case 0x10: value += field; return true;           // DW_EH_PE_pcrel
    default: return false;
    }
}

// The encoding of the addresses in the FDEs that share this CIE (its augmentation's 'R').
bool FdeEncoding(const unsigned char* cie, unsigned char& encoding) {
    const unsigned char* p = cie + 8;  // past the length and the CIE id
    const unsigned char version = *p++;
    const char* augmentation = reinterpret_cast<const char*>(p);
    p += std::strlen(augmentation) + 1;
    encoding = 0x00;
    if (augmentation[0] != 'z') return augmentation[0] == '\0';
    SkipLeb128(p);  // code alignment
    SkipLeb128(p);  // data alignment
    if (version == 1)
        ++p;  // return address register
    else
        SkipLeb128(p);
    SkipLeb128(p);  // the augmentation data's length
    for (const char* letter = augmentation + 1; *letter; ++letter) {
        std::uintptr_t personality;
        switch (*letter) {
        case 'R': encoding = *p; return true;
        case 'L': ++p; break;
        case 'P':
            if (!ReadEncoded(*p++ & 0x7f, p, personality)) return false;
            break;
        case 'S': break;
        default: return false;
        }
    }
    return true;
}

}  // namespace

extern "C" const void* _Unwind_Find_FDE(void* pc, EhBases* bases) {
    const auto address = reinterpret_cast<std::uintptr_t>(pc);
    const unsigned char* record = orv_eh_frame_start;
    for (; orv_eh_frame_end - record >= 8 && Word(record) != 0; record += 4 + Word(record)) {
        if (Word(record) == 0xffffffff) return nullptr;  // 64-bit lengths: never written for this program
        const std::uint32_t cieDistance = Word(record + 4);
        if (cieDistance == 0) continue;  // a CIE
        unsigned char encoding;
        if (!FdeEncoding(record + 4 - cieDistance, encoding)) continue;
        const unsigned char* p = record + 8;
        std::uintptr_t begin, range;
        if (!ReadEncoded(encoding, p, begin) || !ReadEncoded(encoding & 0x0f, p, range)) continue;
        // A description whose function the linker dropped starts at zero.
        if (begin != 0 && address >= begin && address - begin < range) {
            bases->tbase = nullptr;
            bases->dbase = nullptr;
            bases->func = reinterpret_cast<void*>(begin);
            return record;
        }
    }
    return nullptr;
}
