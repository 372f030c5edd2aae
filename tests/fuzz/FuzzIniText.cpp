// Any profile text: a value written can be read back, a key removed reads as missing (unless the section
// held it twice), values stay within the system's length, and the keys of other sections keep their values.
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
    const std::string written = orv::ini::Write(text, "OV", "Version", "A.03.02");
    const auto back = orv::ini::Read(written, "OV", "Version");
    if (!back || *back != "A.03.02") std::abort();
    OthersKept(text, written);

    // A removal takes the key out of its own section and nothing out of another; a key that is still found
    // afterwards is a second one of that name, which the next removal takes.
    std::string removed = written;
    for (int round = 0; round < 64; ++round) {
        const std::string next = orv::ini::Remove(removed, "OV", "Version");
        OthersKept(removed, next);
        const auto still = orv::ini::Read(next, "OV", "Version");
        if (still && next == removed) std::abort();  // found, yet the removal did nothing
        removed = next;
        if (!still) return 0;
    }
    return 0;
}
