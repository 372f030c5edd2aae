// Any command line splits and parses without fault; a valid result names one action at most and a log
// file only with an action.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> words = orv::SplitCommandLine(line);
    for (const std::string& word : words) {
        if (word.size() > line.size()) std::abort();
    }
    const orv::Options options = orv::ParseOptions(words);
    if (options.error.empty() && options.action == orv::Action::Window && (options.quiet || !options.logFile.empty()))
        std::abort();
    return 0;
}
