// The compact unwind table: GCC describes every function's frame at each of its instructions, for debuggers
// and profilers that stop the program anywhere. The program's unwinder looks only at calls, where nearly
// every function has the same shape (a frame pointer and up to three saved registers), so most of the
// description is said again by one byte. The rules each function's DWARF program gives are found with the
// unwinder's own reader (app/FrameRules.cpp) at every address, so the row says exactly what the unwinder
// would have read at a call; a function where anything else holds keeps its DWARF records.
#include "FrameTable.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

#include "FrameRules.h"
#include "PeImage.h"

namespace orv::tool {
namespace {

using namespace orv::unwind;

struct Failure : std::runtime_error {
    explicit Failure(const std::string& what) : std::runtime_error("the frame table: " + what) {}
};

std::uint32_t Word(const std::string& bytes, std::size_t at) {
    if (at + 4 > bytes.size()) throw Failure("a record runs past the section");
    std::uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

void PutWord(std::string& bytes, std::size_t at, std::uint32_t value) { std::memcpy(&bytes[at], &value, 4); }

void PutUleb(std::string& out, std::uint32_t value) {
    do {
        const unsigned char byte = value & 0x7f;
        value >>= 7;
        out += char(value ? byte | 0x80 : byte);
    } while (value);
}

void PutSleb(std::string& out, std::int32_t value) {
    for (;;) {
        const unsigned char byte = value & 0x7f;
        value >>= 7;
        if ((value == 0 && !(byte & 0x40)) || (value == -1 && (byte & 0x40))) return void(out += char(byte));
        out += char(byte | 0x80);
    }
}

// A CIE or an FDE: where it is in the section and where its addresses are, which move with it.
struct Record {
    std::size_t at = 0, end = 0;
    std::vector<std::size_t> relativeFields;  // 4-byte fields relative to themselves
};

struct Cie : Record {
    FrameRecord frame{};  // the alignment factors and the initial rules
    bool augmented = false;  // its FDEs hold augmentation data
    unsigned char encoding = 0, lsdaEncoding = kOmitted;
    std::uint32_t personality = 0;  // the routine's address in the image, or 0
};

struct Fde : Record {
    std::size_t cie = 0;
    std::uint32_t start = 0, length = 0, lsda = 0;
    FrameRecord frame{};
};

class Reader {
public:
    Reader(const std::string& image, const Section& section) : image_(image), section_(section) {}

    void Read(std::map<std::size_t, Cie>& cies, std::vector<Fde>& fdes) {
        const std::string& bytes = section_.bytes;
        for (std::size_t at = 0; at + 4 <= bytes.size() && Word(bytes, at) != 0;) {
            const std::uint32_t length = Word(bytes, at);
            if (length == 0xffffffff || length > bytes.size() - at - 4) throw Failure("a record of unknown size");
            const std::size_t end = at + 4 + length;
            const std::uint32_t id = Word(bytes, at + 4);
            if (id == 0) {
                cies[at] = ReadCie(at, end);
            } else {
                if (id > at + 4 || !cies.count(at + 4 - id)) throw Failure("an FDE without its CIE");
                Fde fde = ReadFde(at, end, cies.at(at + 4 - id));
                if (fde.start != 0) fdes.push_back(fde);
            }
            at = end;
        }
    }

private:
    const unsigned char* Data(std::size_t at) const {
        return reinterpret_cast<const unsigned char*>(section_.bytes.data()) + at;
    }
    std::size_t Offset(const unsigned char* p) const { return std::size_t(p - Data(0)); }

    // A 4-byte address as GCC writes it, relative to its field (DW_EH_PE_pcrel with sdata4 or udata4),
    // perhaps through a pointer (DW_EH_PE_indirect); 0 stays 0. Any other encoding could need relocating.
    std::uint32_t Address(unsigned char encoding, const unsigned char*& p, Record& record) {
        if ((encoding & 0x7f) != 0x1b && (encoding & 0x7f) != 0x13) throw Failure("an address of unknown encoding");
        const std::size_t field = Offset(p);
        const std::uint32_t value = Word(section_.bytes, field);
        p += 4;
        record.relativeFields.push_back(field);
        if (value == 0) return 0;
        const std::uint32_t address = section_.rva + std::uint32_t(field) + value;
        return encoding & 0x80 ? ImageWord(image_, address) - ImageBase(image_) : address;
    }

    Cie ReadCie(std::size_t at, std::size_t end) {
        Cie cie;
        cie.at = at;
        cie.end = end;
        const unsigned char* p = Data(at + 8);
        const unsigned char version = *p++;
        const std::string augmentation = reinterpret_cast<const char*>(p);
        p += augmentation.size() + 1;
        cie.frame.codeAlignment = ReadUleb(p);
        cie.frame.dataAlignment = ReadSleb(p);
        if ((version == 1 ? *p++ : ReadUleb(p)) != kEip) throw Failure("a CIE with another return column");
        if (!augmentation.empty()) {
            if (augmentation[0] != 'z') throw Failure("a CIE of unknown augmentation " + augmentation);
            cie.augmented = true;
            const std::uintptr_t length = ReadUleb(p);
            const unsigned char* data = p;
            for (char letter : augmentation.substr(1)) {
                if (letter == 'R') {
                    cie.encoding = *data++;
                } else if (letter == 'L') {
                    cie.lsdaEncoding = *data++;
                } else if (letter == 'P') {
                    const unsigned char encoding = *data++;
                    cie.personality = Address(encoding, data, cie);
                } else {
                    throw Failure("a CIE of unknown augmentation " + augmentation);
                }
            }
            p += length;
        }
        cie.frame.initialRules = p;
        cie.frame.initialEnd = Data(end);
        return cie;
    }

    Fde ReadFde(std::size_t at, std::size_t end, Cie& cie) {
        Fde fde;
        fde.at = at;
        fde.end = end;
        fde.cie = cie.at;
        const unsigned char* p = Data(at + 8);
        fde.start = Address(cie.encoding, p, fde);
        fde.length = Word(section_.bytes, Offset(p));
        p += 4;
        if (cie.augmented) {
            const std::uintptr_t length = ReadUleb(p);
            const unsigned char* data = p;
            if (cie.lsdaEncoding != kOmitted) fde.lsda = Address(cie.lsdaEncoding, data, fde);
            p += length;
        }
        fde.frame = cie.frame;
        fde.frame.functionStart = fde.start;
        fde.frame.rules = p;
        fde.frame.rulesEnd = Data(end);
        return fde;
    }

    const std::string& image_;
    const Section& section_;
};

// The row's kind byte, and the places where the arguments pushed change (address, words); nothing when a
// row cannot say what the DWARF program says at every call.
std::optional<unsigned char> KindOf(const Fde& fde, std::vector<std::pair<std::uint32_t, std::uint32_t>>& args) {
    int slots[3] = {0, 0, 0};
    bool body = false, leaf = true;
    std::uintptr_t lastArgs = 0;
    for (std::uint32_t address = fde.start; address - fde.start < fde.length; ++address) {
        FrameRules rules;
        std::uintptr_t argsSize;
        if (!RulesAt(fde.frame, address, rules, argsSize) || rules.cfaExpression) return std::nullopt;
        const auto at = [&](Column c, std::intptr_t offset) {
            return rules.reg[c].rule == Rule::kAtCfa && rules.reg[c].offset == offset;
        };
        const auto same = [&](Column c) { return rules.reg[c].rule == Rule::kSame; };
        if (!at(kEip, -4) || !same(kEax) || !same(kEcx) || !same(kEdx) || !same(kEsp)) return std::nullopt;
        const bool saved = !same(kEbx) || !same(kEsi) || !same(kEdi);
        if (rules.cfaRegister == kEbp && rules.cfaOffset == 8) {
            // The function's body, where its calls are: only the registers pushed so far may be saved.
            if (!at(kEbp, -8)) return std::nullopt;
            for (int i = 0; i < 3; ++i) {
                const RegisterRule& reg = rules.reg[kSlotColumns[i]];
                if (reg.rule == Rule::kSame) continue;
                const std::intptr_t slot = (-8 - reg.offset) / 4;
                if (reg.rule != Rule::kAtCfa || reg.offset % 4 != 0 || slot < 1 || slot > 3) return std::nullopt;
                if (slots[i] != 0 && slots[i] != slot) return std::nullopt;
                slots[i] = int(slot);
            }
            body = true;
            leaf = false;
        } else if (rules.cfaRegister == kEsp && rules.cfaOffset == 4 && same(kEbp) && !saved) {
            // the first instruction, or a return: nothing is pushed
        } else if (rules.cfaRegister == kEsp && rules.cfaOffset == 8 && at(kEbp, -8) && !saved) {
            leaf = false;  // ebp pushed, the frame not yet set up: no call is made here
        } else {
            return std::nullopt;
        }
        if (argsSize % 4 != 0) return std::nullopt;
        if (argsSize != lastArgs) args.emplace_back(address, std::uint32_t(argsSize / 4));
        lastArgs = argsSize;
    }
    if (!body && !leaf) return std::nullopt;
    if (slots[0] && (slots[0] == slots[1] || slots[0] == slots[2])) return std::nullopt;
    if (slots[1] && slots[1] == slots[2]) return std::nullopt;
    return static_cast<unsigned char>((body ? kFramePointer : 0) | slots[0] | slots[1] << 2 | slots[2] << 4);
}

// Reads the row back as the unwinder will and compares it with the DWARF program at every address of the
// function's body where its registers are all pushed, where its calls are: a row that says anything else
// there stops the build.
void CheckRow(const Fde& fde, const std::string& rows, std::size_t kindAt) {
    FrameRecord row{};
    row.functionStart = fde.start;
    row.compactRow = reinterpret_cast<const unsigned char*>(rows.data()) + kindAt;
    for (std::uint32_t address = fde.start; address - fde.start < fde.length; ++address) {
        FrameRules dwarf, read;
        std::uintptr_t dwarfArgs, readArgs;
        RulesAt(fde.frame, address, dwarf, dwarfArgs);
        RulesAt(row, address, read, readArgs);
        bool pushing = false;  // a prologue or epilogue, where no call is made
        for (Column column : kSlotColumns) pushing = pushing || dwarf.reg[column].rule != read.reg[column].rule;
        if (pushing || dwarf.cfaRegister != read.cfaRegister || dwarf.cfaOffset != read.cfaOffset) continue;
        bool same = !fde.lsda || dwarfArgs == readArgs;
        for (int column = 0; column < kColumns; ++column)
            same = same && dwarf.reg[column].rule == read.reg[column].rule &&
                   dwarf.reg[column].offset == read.reg[column].offset;
        if (!same) throw Failure("the row of the function at " + Hex(fde.start) + " misreads it");
    }
}

// Copies a record to the end of the table, its relative fields made relative to their new places; the
// table starts `lower` bytes before the records it is made from.
std::size_t Append(std::string& table, const std::string& bytes, const Record& record, std::uint32_t lower) {
    const std::size_t at = table.size();
    table.append(bytes, record.at, record.end - record.at);
    for (std::size_t field : record.relativeFields) {
        const std::size_t moved = at + (field - record.at);
        const std::uint32_t value = Word(table, moved);
        if (value != 0) PutWord(table, moved, value + std::uint32_t(field) + lower - std::uint32_t(moved));
    }
    return at;
}

// The 8 bytes the linker script writes before the .eh_frame records it puts at the end of .rdata
// (cmake/ProgramLayout.cmake); the compact table is written over both.
constexpr unsigned char kFrameTableMarker[8] = {0xa4, 0xe7, 0x1b, 0x9d, 0x62, 0x5a, 0xf0, 0xc3};

// Where a linked program keeps its unwind table: the end of .rdata after the marker.
struct TablePlace {
    Section section;         // .rdata
    std::size_t at = 0;      // where the compact table goes in it
    Section records;         // the .eh_frame records
};

TablePlace FindTable(const std::string& image) {
    TablePlace place;
    if (!FindSection(image, ".rdata", place.section)) throw Failure("the program has no .rdata");
    const std::string& bytes = place.section.bytes;
    const std::string marker(reinterpret_cast<const char*>(kFrameTableMarker), sizeof kFrameTableMarker);
    const std::size_t at = bytes.find(marker);
    if (at == std::string::npos || at % 4 != 0 || bytes.find(marker, at + 1) != std::string::npos)
        throw Failure("not one marker of the table in .rdata (linked without cmake/ProgramLayout.cmake's script?)");
    place.at = at;
    place.records.rva = place.section.rva + std::uint32_t(at + marker.size());
    place.records.bytes = bytes.substr(at + marker.size());
    place.records.virtualSize = std::uint32_t(place.records.bytes.size());
    return place;
}

}  // namespace

// Whether the code may call: any byte that could begin a call instruction counts (E8, 9A, or FF with /2 or
// /3), so code found not to call makes no call, while code found to may be a false alarm.
bool MayCall(std::string_view code) {
    for (std::size_t i = 0; i < code.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(code[i]);
        if (byte == 0xE8 || byte == 0x9A) return true;
        if (byte == 0xFF && i + 1 < code.size() && (code[i + 1] >> 3 & 6) == 2) return true;
    }
    return false;
}

std::string CompactFrameTable(std::string& image, bool rowsOnly) {
    TablePlace place = FindTable(image);
    const Section& section = place.records;
    if (Relocated(image, section.rva, section.virtualSize)) throw Failure("the loader would relocate a word of it");
    const std::uint32_t tableRva = place.section.rva + std::uint32_t(place.at);
    std::map<std::size_t, Cie> cies;
    std::vector<Fde> fdes;
    Reader(image, section).Read(cies, fdes);
    std::sort(fdes.begin(), fdes.end(), [](const Fde& a, const Fde& b) { return a.start < b.start; });

    // The personality routines of the functions with an LSDA, those most functions share first.
    std::map<std::uint32_t, int> uses;
    for (const Fde& fde : fdes)
        if (fde.lsda && cies.at(fde.cie).personality) ++uses[cies.at(fde.cie).personality];
    std::vector<std::pair<int, std::uint32_t>> byUse;
    for (const auto& [routine, count] : uses) byUse.emplace_back(-count, routine);
    std::sort(byUse.begin(), byUse.end());
    byUse.resize(std::min<std::size_t>(byUse.size(), kPersonalities));
    const auto routineOf = [&](const Fde& fde) -> int {
        for (std::size_t i = 0; i < byUse.size(); ++i)
            if (byUse[i].second == cies.at(fde.cie).personality) return int(i);
        return -1;
    };

    std::string rows;
    std::vector<const Fde*> kept;
    std::uint32_t first = 0, end = 0, lastLsda = 0;
    for (const Fde& fde : fdes) {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> args;
        std::optional<unsigned char> kind = KindOf(fde, args);
        if (fde.lsda && routineOf(fde) < 0) kind.reset();
        if (!kind || fde.start < end) {
            kept.push_back(&fde);
            continue;
        }
        if (rows.empty()) first = end = lastLsda = fde.start;
        PutUleb(rows, fde.length * 2 + (fde.start != end));
        if (fde.start != end) PutUleb(rows, fde.start - end);
        const std::size_t kindAt = rows.size();
        rows += char(*kind | (fde.lsda ? kHasLsda : 0));
        if (fde.lsda) {
            PutSleb(rows, std::int32_t(fde.lsda - lastLsda) * 2 + routineOf(fde));
            lastLsda = fde.lsda;
            PutUleb(rows, std::uint32_t(args.size()));
            std::uint32_t place = fde.start;
            for (const auto& [address, words] : args) {
                PutUleb(rows, (address - place) * 8 + (words < 7 ? words : 7));
                if (words >= 7) PutUleb(rows, words);
                place = address;
            }
        }
        CheckRow(fde, rows, kindAt);
        end = fde.start + fde.length;
    }
    rows.resize((rows.size() + 3) / 4 * 4, '\0');

    std::string table(kCompactHeader, '\0');
    PutWord(table, 0, kCompactMagic);
    PutWord(table, 4, std::uint32_t(rows.size()));
    PutWord(table, 8, rows.empty() ? 0 : first - (tableRva + 8));
    for (std::size_t i = 0; i < byUse.size(); ++i)
        PutWord(table, 12 + 4 * i, byUse[i].second - (tableRva + 12 + 4 * std::uint32_t(i)));
    table += rows;
    std::map<std::size_t, std::size_t> placed;  // CIEs: where they were, where they are now
    std::size_t left = 0;
    for (const Fde* fde : kept) {
        if (rowsOnly) {
            // Such a function is never a frame the unwinder steps out of: a throw starts in a call.
            if (MayCall(ImageBytes(image, fde->start, fde->length)))
                throw Failure("the function at " + Hex(fde->start) + " may call, and its frame fits no row");
            ++left;
            continue;
        }
        const Cie& cie = cies.at(fde->cie);
        const std::uint32_t lower = section.rva - tableRva;
        if (!placed.count(cie.at)) placed[cie.at] = Append(table, section.bytes, cie, lower);
        const std::size_t at = Append(table, section.bytes, *fde, lower);
        PutWord(table, at + 4, std::uint32_t(at + 4 - placed[cie.at]));
    }
    table.append(4, '\0');
    if (table.size() > place.section.bytes.size() - place.at) return "the compact table would be no smaller";
    ShrinkSection(image, ".rdata", place.section.bytes.substr(0, place.at) + table);
    return std::to_string(fdes.size() - kept.size()) + " functions in rows, " +
           std::to_string(kept.size() - left) + " kept as DWARF records, " + std::to_string(left) +
           " left out that never call: " + std::to_string(table.size()) + " bytes in place of " +
           std::to_string(section.bytes.size());
}

}  // namespace orv::tool
