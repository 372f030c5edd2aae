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

bool StartsWithMark(const std::string& text) {
    return text.rfind("\xFF\xFE", 0) == 0 || text.rfind("\xFE\xFF", 0) == 0 || text.rfind("\xEF\xBB\xBF", 0) == 0;
}

// Every key but the one edited reads the same in both texts.
void OthersKept(const std::string& before, const std::string& after) {
    for (const char* section : Sections) {
        for (const char* key : Keys) {
            if (std::string(section) == "OV" && std::string(key) == "Version") continue;
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
    // Not read back: a UTF-16 text the byte model cannot keep (left as it was), a rewrite that starts with a
    // byte-order mark (the system's too: a first line "\xFF\xFE..." makes it UTF-16), or one that reads otherwise
    // than the text did ("[OV\f\0]" is "OV\f", saved as "[OV\f]" it is "OV"), which a second write then changes.
    if (!back || *back != value) {
        if (!StartsWithMark(written) && orv::ini::Write(written, "OV", "Version", value) == written) std::abort();
        return 0;
    }
    if (orv::ini::EditHolds(text, written, "OV", "Version", &value)) OthersKept(text, written);
    if (orv::ini::Write(written, "OV", "Version", value) != written) std::abort();

    // A removal from a text as the system saves it (no "[]" left to move keys, no first line to become a mark)
    // takes the key and no other; a key still found afterwards is a second one of that name, which the next
    // removal takes.
    std::string removed = orv::ini::Write(written, "OV", "Version", "1");
    for (int round = 0; round < 64; ++round) {
        const std::string next = orv::ini::Remove(removed, "OV", "Version");
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
