#include "Inspection.h"

#include "HostContract.h"
#include "HostLocation.h"

namespace orv {

Inspection InspectInstallation(Platform& platform, const std::string& root) {
    Inspection result;
    for (int i = 0; i < 7; ++i) {
        result.files[i] = platform.FileIsPresent(root + addon::Files[i]);
        result.score += result.files[i];
    }
    const std::string userMac = root + host::UserMac;
    result.startLine = platform.FileIsPresent(userMac) && UserMacStartsAddon(platform, userMac);
    result.score += result.startLine;
    result.version = RecordedVersion(platform, root);
    result.score += result.version == addon::Version;
    return result;
}

}  // namespace orv
