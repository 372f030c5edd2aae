#pragma once
// The installation report: one HTML page a validated lab files as evidence of an installation, a removal or a
// check (installation qualification). It needs no script and nothing from outside, and prints on A4 and Letter.
#include <string>
#include <string_view>
#include <vector>

#include "InstallationCheck.h"
#include "Unattended.h"

namespace orv {

struct ReportSubject {
    const char* action;          // "install", "remove", "verify"
    std::string programSha256;   // of this program's file; empty when it could not be read
    std::string_view root;               // empty when no ChemStation was found
    std::string_view profile;            // the profile file the root came from
    const std::vector<CheckRow>& rows;  // empty when nothing was checked
    int code = 0;
    std::string_view logFile;
};

std::string InstallationReport(const RunFacts& facts, const ReportSubject& subject);

// The text as HTML shows it literally: markup characters escaped, control characters written as \xNN.
std::string HtmlText(const std::string& text);

}  // namespace orv
