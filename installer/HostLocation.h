#pragma once
// Where the host lives and whether its program is running.
#include <optional>
#include <vector>
#include <string>

#include "Platform.h"
#include "ProfileFile.h"
#include "StatusView.h"

namespace orv {

struct HostLocation {
    // The host folder exactly as the profile holds it; empty when no host was found.
    std::string root;
    // The profile the root came from; the instrument folders are read from it too.
    ProfileFile profile;
};

// chemstation.ini's [PCS] Path, else win.ini's.
HostLocation LocateHost(Platform& platform);

// True while any top-level window's class name holds the host's marker (letter case counts).
bool IsHostRunning(Platform& platform);

// The first process, of any session, whose program lies under root. A run as SYSTEM sits on the service
// desktop and sees none of the host's windows, but it sees the host's processes. A process that cannot be
// opened to ask for its path counts as not under root: only the system's protected processes are closed to a
// SYSTEM run, and counting those would refuse every run for good; they are added to `unexamined` instead. The
// root and each program are compared both as given and with links and substituted drives resolved.
std::optional<RunningProcess> HostProgramRunning(Platform& platform, const std::string& root,
                                                 std::vector<RunningProcess>& unexamined);

// True when a line of user.mac starts the add-on (its trimmed, upper-cased copy begins with the start line).
// EFOpenError escapes when the file cannot be read.
bool UserMacStartsAddon(Platform& platform, const std::string& userMacPath);

// The version recorded in the add-on's profile, "None" when there is none.
std::string RecordedVersion(Platform& platform, const std::string& root);

// Counts what is installed under root and sets the panels and buttons from that. An unreadable user.mac
// escapes as EFOpenError after the first changes were made.
void RefreshStatus(Platform& platform, const std::string& root, StatusView& view);

}  // namespace orv
