#include "LinkedFolders.h"

#include <algorithm>

#include "JoinedText.h"
#include "LineList.h"

namespace orv {

FolderGuard::FolderGuard(Platform& platform, std::string root) : platform_(platform), root_(std::move(root)) {}

FolderGuard::~FolderGuard() { platform_.ReleaseFolders(); }

bool FolderGuard::LevelsUsable(const std::string& base, std::string_view relative) {
    for (std::size_t stop = relative.find('\\', 1);; stop = relative.find('\\', stop + 1)) {
        const std::string level = Joined({base, relative.substr(0, stop)});
        if (level.size() > base.size() && level.back() != '\\') {
            auto it = std::find_if(found_.begin(), found_.end(),
                                   [&](const auto& seen) { return UpperCasedEqual(seen.first, level); });
            const FolderHold hold = it != found_.end() ? it->second : platform_.HoldFolder(level);
            if (it == found_.end() && hold != FolderHold::Missing) found_.push_back({level, hold});
            if (hold == FolderHold::Refused) return false;
            // Nothing deeper can be there; whatever is made later is looked at when it is asked for.
            if (hold == FolderHold::Missing) return true;
        }
        if (stop == std::string_view::npos) return true;
    }
}

bool FolderGuard::FolderUsable(std::string_view relativeFolder) { return LevelsUsable(root_, relativeFolder); }

bool FolderGuard::FileUsable(std::string_view relativeFile) {
    return FolderUsable(relativeFile.substr(0, relativeFile.rfind('\\')));
}

bool FolderGuard::AbsoluteFolderUsable(const std::string& folder) {
    std::string path = platform_.FullPath(folder);
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    std::string root = platform_.FullPath(root_);
    while (!root.empty() && root.back() == '\\') root.pop_back();
    if (!root.empty() && path.size() > root.size() && path[root.size()] == '\\' &&
        UpperCasedEqual(std::string_view(path).substr(0, root.size()), root))
        return LevelsUsable(root, std::string_view(path).substr(root.size()));
    // Not below the root: every folder below the drive ("C:") or the share ("\\server\share").
    std::size_t base = 2;
    if (path.rfind("\\\\", 0) == 0) {
        base = path.find('\\', 2);
        base = base == std::string::npos ? path.size() : path.find('\\', base + 1);
        if (base == std::string::npos) base = path.size();
    }
    if (base >= path.size()) return true;
    return LevelsUsable(path.substr(0, base), std::string_view(path).substr(base));
}

}  // namespace orv
