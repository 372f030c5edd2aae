#include <iterator>

#include "Exceptions.h"
#include "HostContract.h"
#include "LinkedFolders.h"
#include "Messages.h"
#include "Procedures.h"
#include "ProfileFile.h"
#include "UserMacEdit.h"

namespace orv {
namespace {

// True when the file is gone, whether deleted now or never there.
bool RemoveLogged(Platform& platform, const std::string& path, StepLog& log) {
    if (platform.RemoveFile(path)) {
        log.FileDeleted(path);
        return true;
    }
    if (!platform.FileIsPresent(path)) return true;
    log.FileNotDeleted(path);
    return false;
}

// The backups that are the configuration again, by their place in host::Backups.
struct Restored {
    bool backup[std::size(host::Backups)] = {};
    bool any = false;
};

// A backup is put back over its configuration file; a failed copy keeps it for the next attempt and the
// user is told.
Restored RestoreBackups(Platform& platform, const std::string& root, FolderGuard& guard, UserDialogs& dialogs,
                        StepLog& log) {
    Restored restored;
    for (std::size_t i = 0; i < std::size(host::Backups); ++i) {
        const host::Backup& pair = host::Backups[i];
        const std::string backup = root + pair.backup;
        const std::string config = root + pair.config;
        if (!platform.FileIsPresent(backup)) continue;
        const bool usable = guard.FileUsable(pair.config);
        if (usable && platform.CopyOver(backup, config)) {
            log.BackupRestored(backup, config);
            restored.backup[i] = restored.any = true;
        } else {
            dialogs.ShowMessageDialog(usable ? msg::RestoreFailed(config) : msg::LinkRefused(config), DialogKind::Error,
                                      DialogButtons::Ok);
        }
    }
    return restored;
}

// The instrument files belong to the configuration that was just put back. A section without a folder
// names nothing: deleting "===config.reg" in whatever the current folder is would be a guess. True when
// every one of them is gone.
bool RemoveInstrumentFiles(Platform& platform, const ProfileFile& hostProfile, FolderGuard& guard, StepLog& log) {
    bool allGone = true;
    for (const char* section : host::InstrumentSections) {
        const std::string folder = hostProfile.ReadValue(section, host::InstrumentKey, host::InstrumentDefault);
        if (folder.empty() || folder == host::InstrumentDefault) continue;
        const bool usable = guard.AbsoluteFolderUsable(folder);
        for (const char* file : host::InstrumentFiles) {
            const std::string path = folder + file;
            // Through a link nothing is deleted; what is there is reported as left.
            if (usable) {
                allGone = RemoveLogged(platform, path, log) && allGone;
            } else if (platform.FileIsPresent(path)) {
                log.FileNotDeleted(path);
                allGone = false;
            }
        }
    }
    return allGone;
}

// The system's read-back gives the default when it cannot open the file at all (another program holds it
// open): that proves nothing. The version counts as forgotten only when the file is gone or reads without it.
bool VersionStillRecorded(Platform& platform, const ProfileFile& profile) {
    const char* const absent = "\x7F";  // no value a profile can hold
    if (profile.ReadValue(addon::VersionSection, addon::VersionKey, absent) != absent) return true;
    if (!platform.FileIsPresent(profile.FileName())) return false;
    try {
        platform.ReadWholeFile(profile.FileName());
        return false;
    } catch (const Exception&) {
        return true;
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
    FilesChanging changing(view);
    FolderGuard guard(platform, root);
    bool refused = !RewriteUserMacUnlessLinked(platform, root, guard, dialogs, log, false);
    const Restored restored = RestoreBackups(platform, root, guard, dialogs, log);
    const bool instrumentsDone = !restored.any || RemoveInstrumentFiles(platform, host.profile, guard, log);
    // Only now, and only when every instrument file is gone, are the backups deleted: a run that dies before
    // this point, or could not delete an instrument file, leaves them, and the next run restores again and
    // finishes. Deleted first, they would take with them the only sign that the instrument files still have
    // to go.
    for (std::size_t i = 0; i < std::size(host::Backups); ++i) {
        if (instrumentsDone && restored.backup[i]) RemoveLogged(platform, root + host::Backups[i].backup, log);
    }
    // In an add-on folder that has become a link nothing is deleted: each file left there is named, as the
    // install names each file it refuses, and the removal does not say it is done.
    const auto refuse = [&](const std::string& path) {
        dialogs.ShowMessageDialog(msg::RemoveFailed(path), DialogKind::Error, DialogButtons::Ok);
        refused = true;
    };
    for (const char* file : addon::RemovedFiles) {
        const std::string path = root + file;
        if (guard.FileUsable(file)) RemoveLogged(platform, path, log);
        else if (platform.FileIsPresent(path)) refuse(path);
    }
    const bool profileLinked = !guard.FileUsable(addon::Profile);
    ProfileFile profile(platform, root + addon::Profile);
    if (!profileLinked) profile.RemoveValue(addon::VersionSection, addon::VersionKey);
    // The system's removal says nothing when it fails: what is still recorded afterwards tells.
    if (!VersionStillRecorded(platform, profile)) {
        if (!profileLinked) log.VersionForgotten(profile.FileName());
    } else if (profileLinked) {
        refuse(profile.FileName());
    } else {
        log.VersionNotForgotten(profile.FileName());
    }
    changing.End();
    RefreshStatus(platform, root, view);
    if (refused) return true;
    dialogs.ShowMessageDialog(restored.any ? msg::RemovedRestored : msg::Removed, DialogKind::Information,
                              DialogButtons::Ok);
    return true;
}

}  // namespace orv
