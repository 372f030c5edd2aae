#include "LinkedFolders.h"

#include "HostContract.h"
#include "LineList.h"

namespace orv {

bool InLinkedFolder(Platform& platform, const std::string& root, const std::string& relative) {
    const std::string path = UpperCaseAscii(relative);
    for (const char* folder : addon::Folders) {
        const std::string name = folder;  // upper case already
        const bool within = path == name || path.compare(0, name.size() + 1, name + "\\") == 0;
        if (within && platform.IsLink(root + folder)) return true;
    }
    return false;
}

}  // namespace orv
