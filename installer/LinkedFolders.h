#pragma once
// A run as SYSTEM writes, creates and deletes in folders that a standard user may be able to change: core,
// core\800, the instrument folders and the add-on's own. Where one of them, or a folder between it and the
// ChemStation root, has been replaced by a link (a junction, a symbolic link), the run would write and delete
// wherever the link leads, in a folder someone else chose: nothing is written or deleted there. Each folder
// found sound is held open from that look to the end of the procedure, so that it cannot be swapped for a link
// in between. The root itself may well be a link: the host's installer may have put it there.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Platform.h"

namespace orv {

class FolderGuard {
public:
    FolderGuard(Platform& platform, std::string root);
    ~FolderGuard();
    FolderGuard(const FolderGuard&) = delete;
    FolderGuard& operator=(const FolderGuard&) = delete;

    // Whether the folder (relative to the root, starting with a backslash) and every folder between it and the
    // root is either missing or no link. A missing folder is looked at again when next asked (once made).
    bool FolderUsable(std::string_view relativeFolder);
    // The same for the folder a file lies in ("\core\user.mac": "\core").
    bool FileUsable(std::string_view relativeFile);
    // An absolute folder, as the host's profile names its instrument folders: below the root as above, elsewhere
    // every folder below its drive.
    bool AbsoluteFolderUsable(const std::string& folder);

private:
    bool LevelsUsable(const std::string& base, std::string_view relative);

    Platform& platform_;
    std::string root_;
    // By path, in any case: held or refused. A run looks at a dozen folders, a list serves.
    std::vector<std::pair<std::string, FolderHold>> found_;
};

}  // namespace orv
