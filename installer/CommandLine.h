#pragma once
// The switches an unattended run understands, in the Windows installer tradition: case-insensitive,
// introduced by "/" or "-". Without any, the program is the window and nothing else.
#include <string>
#include <vector>

#include "Platform.h"

namespace orv {

enum class Action { Window, Install, Remove, Status, Verify, Version, Usage };

struct Options {
    Action action = Action::Window;
    bool quiet = false;
    std::string logFile;     // empty: no record
    std::string reportFile;  // empty: no installation report
    std::string error;    // not empty: the command line is invalid, and this says why
};

// Splits a command line as the C runtime does: blanks separate, quotes group, backslashes before a
// quote escape it. The first word (the program) is included.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// Reads the switches after the program name.
Options ParseOptions(const std::vector<std::string>& arguments);

// The text with every control character written as \xNN, so that a word of the command line shows on one
// line of a record and cannot pass for a line of its own.
std::string PrintableText(const std::string& text);

// Why the record of a run may not go into what the log's name turned out to be, or "" when it may. An elevated
// run or one as SYSTEM also refuses a file that someone else owns: that user could have prepared it.
std::string LogFileRefusal(const std::string& path, const LogFileFacts& facts, bool elevated);

// The text of /?.
std::string UsageText();

}  // namespace orv
