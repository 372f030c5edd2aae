#pragma once
// The install and remove procedures behind the window's buttons, and the shell actions. They speak to the
// user only through UserDialogs and change the window only through StatusView; an error they do not expect
// escapes to the caller, which shows it in the error display.
#include <string>
#include <vector>

#include "HostLocation.h"
#include "LinkedFolders.h"
#include "PayloadItem.h"
#include "StatusView.h"
#include "StepLog.h"
#include "UserDialogs.h"

namespace orv {

// Folders, the seven files, user.mac's start line, the version record; then the status and the restart message.
// False when it was refused at once because the host is running (nothing was changed).
bool InstallAddon(Platform& platform, const HostLocation& host, const std::vector<PayloadItem>& payload,
                  StatusView& view, UserDialogs& dialogs, StepLog& log = StepLog::None());

// user.mac purged, configuration backups restored, instrument files and add-on files deleted, version
// forgotten; then the status and the closing message. False when refused at once, as the install.
bool RemoveAddon(Platform& platform, const HostLocation& host, StatusView& view, UserDialogs& dialogs,
                 StepLog& log = StepLog::None());

// user.mac rewritten for an install or a removal; when a link leads elsewhere the user is told, and false.
bool RewriteUserMacUnlessLinked(Platform& platform, const std::string& root, FolderGuard& guard, UserDialogs& dialogs,
                                StepLog& log, bool install);

// Writes one payload item; a failure becomes the "Failed to install" dialog and the caller goes on.
void ExtractPayload(Platform& platform, UserDialogs& dialogs, const PayloadItem& item, const std::string& target,
                    StepLog& log = StepLog::None());

// Creates root\core\user.mac empty when it is missing (EFCreateError escapes), then opens it in its program.
void EditUserMac(Platform& platform, const std::string& root);
// The addresses the two links hand to the shell, from the labels' captions at the moment of the click.
std::string MailTarget(const std::string& mailCaption);
std::string WebTarget(const std::string& webCaption);

}  // namespace orv
