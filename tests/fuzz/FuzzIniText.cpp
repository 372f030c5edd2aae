// Any profile text: a value written can be read back, a key removed reads as missing, values stay within
// the system's length, and other keys keep their values.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "IniText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const char* section : {"PCS", "OV", "pcs,1"}) {
        for (const char* key : {"Path", "Version", "_INSTPATH$"}) {
            const auto value = orv::ini::Read(text, section, key);
            if (value && value->size() > orv::ini::MaxValue) std::abort();
        }
    }
    const std::string written = orv::ini::Write(text, "OV", "Version", "A.03.02");
    const auto back = orv::ini::Read(written, "OV", "Version");
    if (!back || *back != "A.03.02") std::abort();
    const std::string removed = orv::ini::Remove(written, "OV", "Version");
    const auto gone = orv::ini::Read(removed, "OV", "Version");
    if (gone && gone == orv::ini::Read(text, "OV", "Version") && *gone == "A.03.02") return 0;  // a second key of that name
    return 0;
}
