#include "HostLocation.h"

#include "HostContract.h"
#include "Inspection.h"
#include "LineList.h"
#include "UserMacEdit.h"

namespace orv {

HostLocation LocateHost(Platform& platform) {
    HostLocation found{{}, ProfileFile(platform, host::PrimaryProfile)};
    found.root = found.profile.ReadValue(host::RootSection, host::RootKey, "");
    if (found.root.empty()) {
        found.profile = ProfileFile(platform, host::FallbackProfile);
        found.root = found.profile.ReadValue(host::RootSection, host::RootKey, "");
    }
    return found;
}

namespace {

class HostWindowCounter final : public WindowClassVisitor {
public:
    void Visit(const std::string& className) override {
        if (className.find(host::HostWindowMarker) != std::string::npos) ++count;
    }
    int count = 0;
};

}  // namespace

bool UserMacStartsAddon(Platform& platform, const std::string& userMacPath) {
    return AnyLine(platform.ReadWholeFile(userMacPath), IsStartLine);
}

std::string RecordedVersion(Platform& platform, const std::string& root) {
    const ProfileFile profile(platform, root + addon::Profile);
    return profile.ReadValue(addon::VersionSection, addon::VersionKey, addon::NoVersion);
}

bool IsHostRunning(Platform& platform) {
    HostWindowCounter counter;
    platform.EnumerateWindowClasses(counter);
    return counter.count > 0;
}

namespace {

// A folder as the system spells a program's path below it: absolute, doubled separators and a final one undone
// by the system itself ("\\." asks it to), which knows the code page's double-byte characters: a last character
// whose second byte is a backslash keeps it. "" when there is no folder.
std::string FolderPrefix(Platform& platform, const std::string& folder) {
    std::string full = UpperCaseAscii(platform.FullPath(folder + "\\."));
    if (full.empty()) return full;
    if (full.back() != '\\') full += '\\';
    return full;
}

}  // namespace

std::optional<RunningProcess> HostProgramRunning(Platform& platform, const std::string& root,
                                                 std::vector<RunningProcess>& unexamined) {
    if (root.empty()) return std::nullopt;
    const std::string given = FolderPrefix(platform, root);
    const std::string resolved = FolderPrefix(platform, platform.ResolvedPath(root));
    const auto under = [&](const std::string& image) {
        return UpperCasedStartsWith(image, given) || UpperCasedStartsWith(image, resolved);
    };
    for (RunningProcess& process : platform.RunningProcesses()) {
        if (process.image.empty()) {
            unexamined.push_back(std::move(process));
            continue;
        }
        if (under(process.image) || under(platform.ResolvedPath(process.image))) return std::move(process);
    }
    return std::nullopt;
}

void RefreshStatus(Platform& platform, const std::string& root, StatusView& view) {
    // An empty root means no host was found: "\core" must not be looked for at the root of the current drive.
    if (root.empty() || !platform.FolderIsPresent(root + host::CoreFolder)) {
        view.EnableButton(Button::EditUserMac, false);
        if (!root.empty() && platform.FolderIsPresent(root + host::MassSpecFolder)) {
            view.ShowPanel(Panel::NoChemStation, false);
            view.ShowPanel(Panel::MSChemStation, true);
        }
        return;
    }
    view.ShowPanel(Panel::NoChemStation, false);
    view.EnableButton(Button::EditUserMac, true);

    const Inspection found = InspectInstallation(platform, root);
    view.SetVersionText(found.version);
    view.ShowPanel(Panel::Version, found.version != addon::Version);
    const int score = found.score;
    view.EnableButton(Button::Install, score < addon::FullScore);
    view.EnableButton(Button::Remove, score > 0);
    view.ShowPanel(Panel::SomeInstalled, score > 0 && score < addon::FullScore);
    view.ShowPanel(Panel::NotInstalled, score == 0);
    view.ShowPanel(Panel::AllInstalled, score == addon::FullScore);
}

}  // namespace orv
