#include "CommandLine.h"

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
        words.push_back(word);
    }
    return words;
}

Options ParseOptions(const std::vector<std::string>& arguments) {
    Options options;
    int actions = 0;
    auto setAction = [&](Action action) {
        options.action = action;
        ++actions;
    };
    // Every word is read even after a wrong one: a distribution tool that mistyped the action but said
    // /quiet must still get no dialog, or the deployment waits for a click nobody can give.
    auto invalid = [&](const std::string& why) {
        if (options.error.empty()) options.error = why;
    };
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word.size() < 2 || (word[0] != '/' && word[0] != '-')) {
            invalid("Unknown argument: " + word);
            continue;
        }
        const std::string name = UpperCaseAscii(word.substr(1));
        if (name == "INSTALL") setAction(Action::Install);
        else if (name == "REMOVE") setAction(Action::Remove);
        else if (name == "STATUS") setAction(Action::Status);
        else if (name == "VERIFY") setAction(Action::Verify);
        else if (name == "VERSION") setAction(Action::Version);
        else if (name == "?" || name == "HELP") setAction(Action::Usage);
        else if (name == "QUIET" || name == "S" || name == "VERYSILENT" || name == "QN") options.quiet = true;
        else if (name.rfind("LOG=", 0) == 0 || name.rfind("LOG:", 0) == 0) {
            options.logFile = word.substr(5);
            if (options.logFile.size() >= 2 && options.logFile.front() == '"' && options.logFile.back() == '"')
                options.logFile = options.logFile.substr(1, options.logFile.size() - 2);
            if (options.logFile.empty()) invalid("The log switch needs a file name: /log=FILE");
        } else {
            invalid("Unknown switch: " + word);
        }
    }
    if (actions > 1) invalid("Give only one of /install, /remove, /status, /verify, /version and /?");
    else if (actions == 0 && (options.quiet || !options.logFile.empty()))
        invalid("/quiet and /log need one of /install, /remove, /status or /verify");
    return options;
}

std::string UsageText() {
    return "OrvandelSetup [/install | /remove | /status | /verify | /version] [/quiet] [/log=FILE]\n"
           "\n"
           "Without a switch the installer opens its window.\n"
           "/install   install or repair the add-on\n"
           "/remove    remove the add-on\n"
           "/status    report what is installed\n"
           "/verify    compare every installed file with the one inside this program\n"
           "/version   print the version, the commit and the SHA-256 of every file inside this program\n"
           "/quiet     no window and no dialog (also /S, /VERYSILENT, /qn)\n"
           "/log=FILE  append a record of the run to FILE\n"
           "\n"
           "Exit codes: 0 success, 1 completed with reported failures, 2 ChemStation is running,\n"
           "3 ChemStation not found or not supported, 4 stopped by an error, 5 verification failed,\n"
           "87 invalid command line.";
}

}  // namespace orv
