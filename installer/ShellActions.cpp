#include "Exceptions.h"
#include "HostContract.h"
#include "JoinedText.h"
#include "LinkedFolders.h"
#include "LineList.h"
#include "Procedures.h"

namespace orv {

void EditUserMac(Platform& platform, const std::string& root) {
    const std::string path = root + host::UserMac;
    FolderGuard guard(platform, root);
    if (!guard.FileUsable(host::UserMac)) throw EFCreateError(CreateErrorText(path, LinkRefusalText()));
    if (!platform.FileIsPresent(path)) LineList().SaveLines(platform, path);
    platform.ShellOpen(path, "", "");
}

std::string MailTarget(const std::string& mailCaption) { return Joined({"mailto:", mailCaption}); }

std::string WebTarget(const std::string& webCaption) { return Joined({"http://", webCaption, "?gg"}); }

}  // namespace orv
