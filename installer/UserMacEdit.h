#pragma once
// The host runs core\user.mac when it starts; the add-on hooks itself in by being its first line and
// unhooks itself by taking out every line that mentions its folder.
#include <string>
#include <string_view>

#include "LineList.h"
#include "Platform.h"
#include "StepLog.h"
#include "UserDialogs.h"

namespace orv {

// A line belongs to the add-on when its trimmed, upper-cased copy mentions "\OV\" anywhere.
bool IsAddonLine(std::string_view line);
// A line starts the add-on when its trimmed, upper-cased copy begins with the start line.
bool IsStartLine(std::string_view line);
// Takes out every add-on line in one pass; the other lines keep their text and order.
void PurgeAddonLines(LineList& lines);

// Install: purge, put the start line first, save, then ask whether the user wants to tidy the rest.
void EditUserMacForInstall(Platform& platform, const std::string& root, UserDialogs& dialogs,
                           StepLog& log = StepLog::None());
// Remove: only when the file exists, purge and save.
void EditUserMacForRemove(Platform& platform, const std::string& root, UserDialogs& dialogs,
                          StepLog& log = StepLog::None());

}  // namespace orv
