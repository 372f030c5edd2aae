// Any command line splits and parses without fault; the words, quoted again as a program quotes its
// arguments, split back into the same words; a valid result names one action at most and a log file only
// with an action.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "CommandLine.h"

namespace {

// A word as CommandLineToArgvW and the C runtime read it back: in quotes, backslashes doubled before a quote.
std::string Quoted(const std::string& word) {
    std::string out = "\"";
    std::size_t slashes = 0;
    for (char c : word) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        out.append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
        slashes = 0;
        out += c;
    }
    out.append(2 * slashes, '\\');
    return out + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> words = orv::SplitCommandLine(line);
    // Every character of a word comes from a character of the line of its own.
    std::size_t total = 0;
    std::string again;
    for (const std::string& word : words) {
        total += word.size();
        again += Quoted(word) + " ";
    }
    if (total > line.size()) std::abort();
    if (orv::SplitCommandLine(again) != words) std::abort();
    const orv::Options options = orv::ParseOptions(words);
    if (options.error.empty() && options.action == orv::Action::Window && (options.quiet || !options.logFile.empty()))
        std::abort();
    return 0;
}
