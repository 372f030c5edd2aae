// Any bytes load as lines and save back with nothing lost: every byte that is not a line end survives, in
// order, and every line ends in CR LF. Edited, a list saves exactly its lines, however they have to move
// inside the bytes they were read into.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "LineList.h"
#include "MemoryPlatform.h"

namespace {

void SavesItsLines(orv::LineList& lines, orv::MemoryPlatform& platform) {
    std::string expected;
    for (std::size_t i = 0; i < lines.Count(); ++i) expected += lines.At(i) + "\r\n";
    lines.SaveLines(platform, "C:\\USER.MAC");
    if (platform.FileBytes("C:\\USER.MAC") != expected || lines.Text() != expected) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    orv::LineList lines;
    lines.SetText(bytes);
    const std::string saved = lines.Text();

    std::string kept, again;
    for (const char c : bytes) {
        if (c != '\r' && c != '\n') kept += c;
    }
    for (const char c : saved) {
        if (c != '\r' && c != '\n') again += c;
    }
    if (kept != again) std::abort();
    if (saved.size() != 0 && saved.compare(saved.size() - 2, 2, "\r\n") != 0) std::abort();

    orv::LineList reloaded;  // a saved file loads back to the same lines
    reloaded.SetText(saved);
    if (reloaded.Text() != saved || reloaded.Count() != lines.Count()) std::abort();

    // Lines taken out and put in as the bytes say, saved, changed again and saved again.
    orv::MemoryPlatform platform;
    const unsigned char pick = size > 0 ? data[0] : 0;
    lines.KeepOnly([pick](std::string_view line) { return line.empty() || ((line[0] ^ pick) & 3) != 0; });
    lines.InsertAt(0, bytes.substr(0, pick % 8));
    lines.InsertAt(lines.Count() / 2, "MACRO \"..\\OV\\OV.MCX\",GO");
    SavesItsLines(lines, platform);
    if (lines.Count() > 1) lines.DeleteAt(1);
    lines.InsertAt(lines.Count(), bytes.substr(bytes.size() / 2));
    SavesItsLines(lines, platform);
    return 0;
}
