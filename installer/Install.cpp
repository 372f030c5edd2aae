#include <exception>

#include "HostContract.h"
#include "LinkedFolders.h"
#include "Messages.h"
#include "Procedures.h"
#include "ProfileFile.h"
#include "UserMacEdit.h"

namespace orv {

void ExtractPayload(Platform& platform, UserDialogs& dialogs, const PayloadItem& item, const std::string& target,
                    StepLog& log) {
    try {
        if (item.WriteToFile(platform, target) == WriteMode::InPlace) log.WrittenInPlace(target);
        log.FileWritten(target, item.Data(), item.Size());
    } catch (const std::exception&) {
        // The item's own error names the expanded path; the user is shown the path as it was formed.
        dialogs.ShowMessageDialog(msg::InstallFailed(target), DialogKind::Error, DialogButtons::Ok);
    }
}

bool InstallAddon(Platform& platform, const HostLocation& host, const std::vector<PayloadItem>& payload,
                  StatusView& view, UserDialogs& dialogs, StepLog& log) {
    if (IsHostRunning(platform)) {
        dialogs.ShowMessageDialog(msg::HostRunning, DialogKind::Error, DialogButtons::Ok);
        return false;
    }
    const std::string& root = host.root;
    FilesChanging changing(view);
    for (const char* folder : addon::Folders) {
        if (platform.FolderIsPresent(root + folder) || InLinkedFolder(platform, root, folder)) continue;
        platform.CreateFolder(root + folder);
        log.FolderCreated(root + folder);
    }
    // A file in a folder that has become a link is not written, and said to have failed.
    const auto refusedHere = [&](const std::string& relative) {
        if (!InLinkedFolder(platform, root, relative)) return false;
        dialogs.ShowMessageDialog(msg::InstallFailed(root + relative), DialogKind::Error, DialogButtons::Ok);
        return true;
    };
    for (std::size_t i = 0; i < payload.size(); ++i) {
        if (refusedHere(PayloadCatalogue[i].target)) continue;
        ExtractPayload(platform, dialogs, payload[i], root + PayloadCatalogue[i].target, log);
    }
    EditUserMacForInstall(platform, root, dialogs, log);
    if (!refusedHere(addon::Profile)) {
        ProfileFile profile(platform, root + addon::Profile);
        profile.WriteValue(addon::VersionSection, addon::VersionKey, addon::Version);
        log.VersionRecorded(profile.FileName(), addon::Version);
    }
    changing.End();
    RefreshStatus(platform, root, view);
    dialogs.ShowMessageDialog(msg::InstallDone, DialogKind::Information, DialogButtons::Ok);
    return true;
}

}  // namespace orv
