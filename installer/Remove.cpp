#include "HostContract.h"
#include "Messages.h"
#include "Procedures.h"
#include "ProfileFile.h"
#include "UserMacEdit.h"

namespace orv {
namespace {

// A backup is deleted only once it really is the configuration again; a failed copy keeps it for the
// next attempt and the user is told.
bool RestoreBackups(Platform& platform, const std::string& root, UserDialogs& dialogs) {
    bool restored = false;
    for (const host::Backup& pair : host::Backups) {
        const std::string backup = root + pair.backup;
        const std::string config = root + pair.config;
        if (!platform.FileIsPresent(backup)) continue;
        if (platform.CopyOver(backup, config)) {
            platform.RemoveFile(backup);
            restored = true;
        } else {
            dialogs.ShowMessageDialog(msg::RestoreFailed(config), DialogKind::Error, DialogButtons::Ok);
        }
    }
    return restored;
}

// The instrument files belong to the configuration that was just put back. A section without a folder
// names nothing: deleting "===config.reg" in whatever the current folder is would be a guess.
void RemoveInstrumentFiles(Platform& platform, const ProfileFile& hostProfile) {
    for (const char* section : host::InstrumentSections) {
        const std::string folder = hostProfile.ReadValue(section, host::InstrumentKey, host::InstrumentDefault);
        if (folder.empty() || folder == host::InstrumentDefault) continue;
        for (const char* file : host::InstrumentFiles) platform.RemoveFile(folder + file);
    }
}

}  // namespace

void RemoveAddon(Platform& platform, const HostLocation& host, StatusView& view, UserDialogs& dialogs) {
    if (IsHostRunning(platform)) {
        dialogs.ShowMessageDialog(msg::HostRunning, DialogKind::Error, DialogButtons::Ok);
        return;
    }
    const std::string& root = host.root;
    EditUserMacForRemove(platform, root, dialogs);
    const bool restored = RestoreBackups(platform, root, dialogs);
    if (restored) RemoveInstrumentFiles(platform, host.profile);
    for (const char* file : addon::RemovedFiles) platform.RemoveFile(root + file);
    {
        ProfileFile profile(platform, root + addon::Profile);
        profile.RemoveValue(addon::VersionSection, addon::VersionKey);
    }
    RefreshStatus(platform, root, view);
    dialogs.ShowMessageDialog(restored ? msg::RemovedRestored : msg::Removed, DialogKind::Information,
                              DialogButtons::Ok);
}

}  // namespace orv
