#include <vector>

#include "HostContract.h"
#include "Messages.h"
#include "Procedures.h"
#include "ProfileFile.h"
#include "UserMacEdit.h"

namespace orv {
namespace {

void RemoveLogged(Platform& platform, const std::string& path, StepLog& log) {
    if (platform.RemoveFile(path)) log.FileDeleted(path);
    else if (platform.FileIsPresent(path)) log.FileNotDeleted(path);
}

// A backup is put back over its configuration file; a failed copy keeps it for the next attempt and the
// user is told. Returns the backups that are the configuration again.
std::vector<const host::Backup*> RestoreBackups(Platform& platform, const std::string& root, UserDialogs& dialogs,
                                                StepLog& log) {
    std::vector<const host::Backup*> restored;
    for (const host::Backup& pair : host::Backups) {
        const std::string backup = root + pair.backup;
        const std::string config = root + pair.config;
        if (!platform.FileIsPresent(backup)) continue;
        if (platform.CopyOver(backup, config)) {
            log.BackupRestored(backup, config);
            restored.push_back(&pair);
        } else {
            dialogs.ShowMessageDialog(msg::RestoreFailed(config), DialogKind::Error, DialogButtons::Ok);
        }
    }
    return restored;
}

// The instrument files belong to the configuration that was just put back. A section without a folder
// names nothing: deleting "===config.reg" in whatever the current folder is would be a guess.
void RemoveInstrumentFiles(Platform& platform, const ProfileFile& hostProfile, StepLog& log) {
    for (const char* section : host::InstrumentSections) {
        const std::string folder = hostProfile.ReadValue(section, host::InstrumentKey, host::InstrumentDefault);
        if (folder.empty() || folder == host::InstrumentDefault) continue;
        for (const char* file : host::InstrumentFiles) RemoveLogged(platform, folder + file, log);
    }
}

}  // namespace

bool RemoveAddon(Platform& platform, const HostLocation& host, StatusView& view, UserDialogs& dialogs,
                 StepLog& log) {
    if (IsHostRunning(platform)) {
        dialogs.ShowMessageDialog(msg::HostRunning, DialogKind::Error, DialogButtons::Ok);
        return false;
    }
    const std::string& root = host.root;
    EditUserMacForRemove(platform, root, dialogs, log);
    const std::vector<const host::Backup*> restored = RestoreBackups(platform, root, dialogs, log);
    if (!restored.empty()) RemoveInstrumentFiles(platform, host.profile, log);
    // Only now are the backups deleted: a run that dies before this point leaves them, and the next run
    // restores again and deletes the instrument files too. Deleted first, they would take with them the
    // only sign that the instrument files still have to go.
    for (const host::Backup* pair : restored) RemoveLogged(platform, root + pair->backup, log);
    for (const char* file : addon::RemovedFiles) RemoveLogged(platform, root + file, log);
    {
        ProfileFile profile(platform, root + addon::Profile);
        profile.RemoveValue(addon::VersionSection, addon::VersionKey);
        log.VersionForgotten(profile.FileName());
    }
    RefreshStatus(platform, root, view);
    dialogs.ShowMessageDialog(!restored.empty() ? msg::RemovedRestored : msg::Removed, DialogKind::Information,
                              DialogButtons::Ok);
    return true;
}

}  // namespace orv
