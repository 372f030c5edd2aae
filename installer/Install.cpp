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
        // The evidence is of the file placed, read back, not of the bytes the program carries: a file that
        // cannot be read back is no evidence, and is reported as not installed.
        const std::string placed = platform.ReadWholeFile(target);
        log.FileWritten(target, reinterpret_cast<const unsigned char*>(placed.data()), placed.size());
    } catch (const std::exception&) {
        // The item's own error names the expanded path; the user is shown the path as it was formed.
        dialogs.ShowMessageDialog(msg::InstallFailed(target), DialogKind::Error, DialogButtons::Ok);
    }
}

bool RewriteUserMacUnlessLinked(Platform& platform, const std::string& root, FolderGuard& guard, UserDialogs& dialogs,
                                StepLog& log, bool install) {
    if (!guard.FileUsable(host::UserMac)) {
        dialogs.ShowMessageDialog(msg::LinkRefused(root + host::UserMac), DialogKind::Error, DialogButtons::Ok);
        return false;
    }
    if (install) EditUserMacForInstall(platform, root, dialogs, log);
    else EditUserMacForRemove(platform, root, dialogs, log);
    return true;
}

bool InstallAddon(Platform& platform, const HostLocation& host, const std::vector<PayloadItem>& payload,
                  StatusView& view, UserDialogs& dialogs, StepLog& log) {
    if (IsHostRunning(platform)) {
        dialogs.ShowMessageDialog(msg::HostRunning, DialogKind::Error, DialogButtons::Ok);
        return false;
    }
    const std::string& root = host.root;
    FilesChanging changing(view);
    FolderGuard guard(platform, root);
    for (const char* folder : addon::Folders) {
        const std::string path = root + folder;
        if (!guard.FolderUsable(folder) || platform.FolderIsPresent(path)) continue;
        platform.CreateFolder(path);
        log.FolderCreated(path);
    }
    // A file in a folder that is a link, or lies in one, is not written, and said to have failed.
    const auto refusedHere = [&](const char* relative) {
        if (guard.FileUsable(relative)) return false;
        dialogs.ShowMessageDialog(msg::InstallFailed(root + relative), DialogKind::Error, DialogButtons::Ok);
        return true;
    };
    for (std::size_t i = 0; i < payload.size(); ++i) {
        if (refusedHere(PayloadCatalogue[i].target)) continue;
        ExtractPayload(platform, dialogs, payload[i], root + PayloadCatalogue[i].target, log);
    }
    RewriteUserMacUnlessLinked(platform, root, guard, dialogs, log, true);
    if (!refusedHere(addon::Profile)) {
        ProfileFile profile(platform, root + addon::Profile);
        const std::string version = addon::Version;
        profile.WriteValue(addon::VersionSection, addon::VersionKey, version);
        log.VersionRecorded(profile.FileName(), version);
    }
    changing.End();
    RefreshStatus(platform, root, view);
    dialogs.ShowMessageDialog(msg::InstallDone, DialogKind::Information, DialogButtons::Ok);
    return true;
}

}  // namespace orv
