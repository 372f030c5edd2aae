#include "Exceptions.h"
#include "JoinedText.h"

namespace orv {

std::string DecimalText(unsigned long value) { return std::string(std::string_view(Decimal(value))); }

std::string InOutErrorText(unsigned long code) {
    switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    case 106: return "Invalid numeric input";
    default: return Joined({"I/O error ", Decimal(code)});
    }
}

std::string TrimSystemText(std::string text) {
    while (!text.empty()) {
        const unsigned char last = static_cast<unsigned char>(text.back());
        if (last > ' ' && last != '.') break;
        text.pop_back();
    }
    return text;
}

std::string OpenErrorText(const std::string& absolutePath, const std::string& systemText) {
    return Joined({"Cannot open file \"", absolutePath, "\". ", systemText});
}

std::string CreateErrorText(const std::string& absolutePath, const std::string& systemText) {
    return Joined({"Cannot create file \"", absolutePath, "\". ", systemText});
}

std::string IniWriteErrorText(const std::string& fileName) { return Joined({"Unable to write to ", fileName}); }

}  // namespace orv
