// Any profile text: a value written can be read back (or the edit does not hold), a second write of it changes
// nothing, a key removed reads as missing (unless the section held it twice), values stay within the system's
// length, and an edit that holds keeps the keys of other sections.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "IniText.h"

namespace {

const char* const Sections[] = {"PCS", "OV", "pcs,1"};
const char* const Keys[] = {"Path", "Version", "_INSTPATH$"};

// Every key of the other sections reads the same in both texts.
void OthersKept(const std::string& before, const std::string& after) {
    for (const char* section : Sections) {
        if (std::string(section) == "OV") continue;
        for (const char* key : Keys) {
            if (orv::ini::Read(before, section, key) != orv::ini::Read(after, section, key)) std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const char* section : Sections) {
        for (const char* key : Keys) {
            const auto value = orv::ini::Read(text, section, key);
            if (value && value->size() > orv::ini::MaxValue) std::abort();
        }
    }
    const std::string value = "A.03.02";
    const std::string written = orv::ini::Write(text, "OV", "Version", value);
    const auto back = orv::ini::Read(written, "OV", "Version");
    // Not read back: a text the byte model cannot keep, or one whose rewrite starts with a byte-order mark
    // (the system's too: a first line "\xFF\xFE..." makes it UTF-16). The edit must not hold.
    if (!back || *back != value) {
        if (orv::ini::EditHolds(text, written, "OV", "Version", &value)) std::abort();
        return 0;
    }
    if (orv::ini::EditHolds(text, written, "OV", "Version", &value)) OthersKept(text, written);
    if (orv::ini::Write(written, "OV", "Version", value) != written) std::abort();

    // A removal takes the key out of its own section and nothing out of another; a key that is still found
    // afterwards is a second one of that name, which the next removal takes. A removal that would change other
    // keys (a rewrite that starts with a byte-order mark) does not hold, and the platforms leave the file.
    std::string removed = written;
    for (int round = 0; round < 64; ++round) {
        const std::string next = orv::ini::Remove(removed, "OV", "Version");
        if (!orv::ini::EditHolds(removed, next, "OV", "Version", nullptr)) return 0;
        OthersKept(removed, next);
        const auto still = orv::ini::Read(next, "OV", "Version");
        if (still && next == removed) {
            // found, yet the removal did nothing: only a UTF-16 text the byte model cannot keep
            if (removed.compare(0, 2, "\xFF\xFE") != 0 && removed.compare(0, 2, "\xFE\xFF") != 0) std::abort();
            return 0;
        }
        removed = next;
        if (!still) return 0;
    }
    return 0;
}
