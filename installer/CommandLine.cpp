#include "CommandLine.h"

#include <algorithm>
#include <iterator>

#include "JoinedText.h"
#include "LineList.h"

namespace orv {

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> words;
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    while (true) {
        while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
        if (i >= n) break;
        std::string word;
        bool quoted = false;
        while (i < n && (quoted || (commandLine[i] != ' ' && commandLine[i] != '\t'))) {
            std::size_t slashes = 0;
            while (i < n && commandLine[i] == '\\') {
                ++slashes;
                ++i;
            }
            if (i < n && commandLine[i] == '"') {
                word.append(slashes / 2, '\\');
                if (slashes % 2 == 1) {
                    word += '"';
                } else if (quoted && i + 1 < n && commandLine[i + 1] == '"') {
                    word += '"';  // "" inside quotes is one quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                word.append(slashes, '\\');
                if (i < n && (quoted || (commandLine[i] != ' ' && commandLine[i] != '\t'))) word += commandLine[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::string PrintableText(const std::string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out += c;
        } else {
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 15];
        }
    }
    return out;
}

namespace {

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 name devices in every folder and with any extension:
// "logging" to one would write to a printer port or nowhere.
bool IsDeviceName(const std::string& path) {
    // "\\.\pipe\x", "\\?\GLOBALROOT\...": the system's own namespaces, where pipes and devices live.
    if (path.size() >= 4 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/') &&
        (path[2] == '.' || path[2] == '?') && (path[3] == '\\' || path[3] == '/'))
        return true;
    std::string_view last = std::string_view(path).substr(path.find_last_of("\\/:") + 1);  // npos + 1 is 0
    last = last.substr(0, last.find('.'));
    while (!last.empty() && last.back() == ' ') last.remove_suffix(1);
    const std::string name = UpperCaseAscii(std::string(last));
    if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL") return true;
    return name.size() == 4 && (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "LPT") == 0) && name[3] >= '1' &&
           name[3] <= '9';
}

// The file of "/log=FILE" or "/report=FILE" (its name taking `skip` characters with the "/"), quotes removed;
// `why` says what is wrong with it, if anything.
std::string FileOf(const std::string& word, std::size_t skip, const char* what, std::string& why) {
    std::string file = word.substr(skip);
    if (file.size() >= 2 && file.front() == '"' && file.back() == '"') file = file.substr(1, file.size() - 2);
    if (file.empty()) why = Joined({"The ", what, " switch needs a file name: /", what, "=FILE"});
    else if (IsDeviceName(file)) {
        why = Joined({"The ", what, " file cannot be a device: ", PrintableText(file)});
        file.clear();  // nothing goes into the device, not even why the run stopped
    }
    return file;
}

// The switches that are one word, upper-cased: an action each, or quiet.
struct Switch {
    const char* name;
    Action action;
    bool quiet;
};
constexpr Switch Switches[] = {
    {"INSTALL", Action::Install, false}, {"REMOVE", Action::Remove, false}, {"STATUS", Action::Status, false},
    {"VERIFY", Action::Verify, false},   {"VERSION", Action::Version, false}, {"?", Action::Usage, false},
    {"HELP", Action::Usage, false},      {"QUIET", {}, true},                 {"S", {}, true},
    {"VERYSILENT", {}, true},            {"QN", {}, true},
};

}  // namespace

Options ParseOptions(const std::vector<std::string>& arguments) {
    Options options;
    int actions = 0;
    auto setAction = [&](Action action) {
        options.action = action;
        ++actions;
    };
    // Every word is read even after a wrong one: a distribution tool that mistyped the action but said
    // /quiet must still get no dialog, or the deployment waits for a click nobody can give.
    auto invalid = [&](std::string_view why) {
        if (options.error.empty()) options.error = why;
    };
    std::string why;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word.size() < 2 || (word[0] != '/' && word[0] != '-')) {
            invalid(Joined({"Unknown argument: ", PrintableText(word)}));
            continue;
        }
        const std::string name = UpperCaseAscii(word.substr(1));
        const Switch* named = std::find_if(std::begin(Switches), std::end(Switches),
                                           [&](const Switch& s) { return name == s.name; });
        if (named == std::end(Switches)) {
            if (name.rfind("LOG=", 0) == 0 || name.rfind("LOG:", 0) == 0) options.logFile = FileOf(word, 5, "log", why);
            else if (name.rfind("REPORT=", 0) == 0 || name.rfind("REPORT:", 0) == 0)
                options.reportFile = FileOf(word, 8, "report", why);
            else invalid(Joined({"Unknown switch: ", PrintableText(word)}));
        } else if (named->quiet) {
            options.quiet = true;
        } else {
            setAction(named->action);
        }
        if (!why.empty()) invalid(why);
        why.clear();
    }
    if (actions > 1) invalid("Give only one of /install, /remove, /status, /verify, /version and /?");
    else if (actions == 0 && (options.quiet || !options.logFile.empty()))
        invalid("/quiet and /log need one of /install, /remove, /status or /verify");
    else if (!options.reportFile.empty() && options.action != Action::Install && options.action != Action::Remove &&
             options.action != Action::Verify)
        invalid("/report needs one of /install, /remove or /verify");
    return options;
}

std::string LogFileRefusal(const std::string& path, const LogFileFacts& facts, bool elevated) {
    const char* why = !facts.diskFile                   ? " is no file on a disk"
                      : facts.link                      ? " is a link"
                      : facts.folder                    ? " is a folder"
                      : facts.names > 1                 ? " has more than one name (hard links)"
                      : elevated && !facts.ownerTrusted ? " belongs to another user"
                                                        : nullptr;
    return why != nullptr ? Joined({"The log file ", PrintableText(path), why}) : std::string();
}

std::string UsageText() {
    return "OrvandelSetup [/install | /remove | /status | /verify | /version] [/quiet] [/log=FILE]\n"
           "              [/report=FILE]\n"
           "\n"
           "Without a switch the installer opens its window.\n"
           "/install   install or repair the add-on\n"
           "/remove    remove the add-on\n"
           "/status    report what is installed\n"
           "/verify    compare every installed file with the one inside this program\n"
           "/version   print the version, the commit and the SHA-256 of every file inside this program\n"
           "/quiet     no window and no dialog (also /S, /VERYSILENT, /qn)\n"
           "/log=FILE  append a record of the run to FILE\n"
           "/report=FILE  with /install, /remove or /verify: write an installation report (HTML) to FILE\n"
           "\n"
           "Exit codes: 0 success, 1 completed with reported failures, 3 ChemStation not found or not\n"
           "supported, 4 stopped by an error, 5 verification failed, 87 invalid command line,\n"
           "1618 refused (ChemStation is running, or another run): nothing changed, try again later.";
}

}  // namespace orv
