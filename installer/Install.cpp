#include <exception>

#include "HostContract.h"
#include "Messages.h"
#include "Procedures.h"
#include "ProfileFile.h"
#include "UserMacEdit.h"

namespace orv {

void ExtractPayload(Platform& platform, UserDialogs& dialogs, const PayloadItem& item, const std::string& target) {
    try {
        item.WriteToFile(platform, target);
    } catch (const std::exception&) {
        // The item's own error names the expanded path; the user is shown the path as it was formed.
        dialogs.ShowMessageDialog(msg::InstallFailed(target), DialogKind::Error, DialogButtons::Ok);
    }
}

void InstallAddon(Platform& platform, const HostLocation& host, const std::vector<PayloadItem>& payload,
                  StatusView& view, UserDialogs& dialogs) {
    if (IsHostRunning(platform)) {
        dialogs.ShowMessageDialog(msg::HostRunning, DialogKind::Error, DialogButtons::Ok);
        return;
    }
    const std::string& root = host.root;
    for (const char* folder : addon::Folders) {
        if (!platform.FolderIsPresent(root + folder)) platform.CreateFolder(root + folder);
    }
    for (std::size_t i = 0; i < payload.size(); ++i) {
        ExtractPayload(platform, dialogs, payload[i], root + PayloadCatalogue[i].target);
    }
    EditUserMacForInstall(platform, root, dialogs);
    {
        ProfileFile profile(platform, root + addon::Profile);
        profile.WriteValue(addon::VersionSection, addon::VersionKey, addon::Version);
    }
    RefreshStatus(platform, root, view);
    dialogs.ShowMessageDialog(msg::InstallDone, DialogKind::Information, DialogButtons::Ok);
}

}  // namespace orv
