// Any bytes load as lines and save back with nothing lost: every byte that is not a line end survives, in
// order, and every line ends in CR LF.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "LineList.h"

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
    return 0;
}
