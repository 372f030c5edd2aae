#pragma once
// The nine elements of an installation, one by one, for reports and evidence.
#include <string>

#include "Platform.h"

namespace orv {

struct Inspection {
    bool files[7] = {};      // in the order of the payload catalogue
    bool startLine = false;  // some line of user.mac starts the add-on
    std::string version;     // as recorded, "None" when there is none
    int score = 0;           // 0 to 9
};

// Throws EFOpenError when user.mac exists but cannot be read.
Inspection InspectInstallation(Platform& platform, const std::string& root);

}  // namespace orv
