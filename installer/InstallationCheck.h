#pragma once
// The nine elements of an installation checked against what they should be, one row each: what /verify
// prints and what the installation report shows.
#include <string>
#include <vector>

#include "PayloadItem.h"
#include "Platform.h"

namespace orv {

struct CheckRow {
    std::string item;      // "deOvMcx" and the like, "start line", "recorded version"
    std::string path;
    std::string expected;  // "391479 bytes", "absent", the start line as the first line, the version
    std::string expectedSha256;
    std::string found;     // as expected, or "absent", "unreadable: why", the first line of user.mac
    std::string foundSha256;
    bool present = false;  // the file, the line or the version is there
    bool pass = false;
};

// With `installed`, the rows expect this program's files byte for byte, its start line as the first line of
// user.mac and its version recorded; without, they expect what a removal leaves: none of the three. Throws
// EFOpenError when user.mac exists but cannot be read.
std::vector<CheckRow> CheckInstallation(Platform& platform, const std::string& root,
                                        const std::vector<PayloadItem>& payload, bool installed);

// How many rows pass.
int Holding(const std::vector<CheckRow>& rows);

}  // namespace orv
