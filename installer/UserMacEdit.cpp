#include "UserMacEdit.h"

#include <exception>

#include "Exceptions.h"
#include "HostContract.h"
#include "Messages.h"

namespace orv {
namespace {

// A failed save is reported and the procedure goes on; the write replaces the file in one step, so the
// old file is still whole.
void SaveOrReport(Platform& platform, LineList& lines, const std::string& path, UserDialogs& dialogs,
                  StepLog& log, std::size_t linesBefore) {
    try {
        if (lines.SaveLines(platform, path, KeptSecurity::OldWhenTrusted) == WriteMode::InPlace)
            log.WrittenInPlace(path);
        log.UserMacRewritten(path, linesBefore, lines.Count());
    } catch (const std::exception& e) {
        // A user.mac (or a leftover beside it) that is a link or has a second name is named, as links are.
        if (std::string(e.what()).find(LinkRefusalText()) != std::string::npos)
            dialogs.ShowMessageDialog(msg::LinkRefused(path), DialogKind::Error, DialogButtons::Ok);
        else
            dialogs.ShowMessageDialog(msg::UserMacNotSaved, DialogKind::Error, DialogButtons::Ok);
    }
}

// Only the in-memory list loses its blank lines here; the saved file keeps them.
void AskCleanup(LineList& lines, const std::string& path, UserDialogs& dialogs) {
    lines.KeepOnly([](std::string_view line) { return !TrimmedView(line).empty(); });
    if (lines.Count() <= 1) return;
    const DialogAnswer answer =
        dialogs.ShowMessageDialog(msg::CleanupQuestion(path), DialogKind::Information, DialogButtons::YesNo);
    if (answer == AnswerYes) dialogs.EditUserMac();
}

}  // namespace

bool IsAddonLine(std::string_view line) { return UpperCasedContains(TrimmedView(line), addon::Marker); }

bool IsStartLine(std::string_view line) { return UpperCasedStartsWith(TrimmedView(line), addon::StartLine); }

void PurgeAddonLines(LineList& lines) {
    lines.KeepOnly([](std::string_view line) { return !IsAddonLine(line); });
}

namespace {

// An install puts its start line first and offers the cleanup; a removal leaves a missing file missing.
void RewriteUserMac(Platform& platform, const std::string& root, UserDialogs& dialogs, StepLog& log, bool install) {
    const std::string path = root + host::UserMac;
    const bool present = platform.FileIsPresent(path);
    if (!present && !install) return;
    LineList lines;
    if (present) lines.LoadLines(platform, path);
    const std::size_t before = lines.Count();
    PurgeAddonLines(lines);
    if (install) lines.InsertAt(0, addon::StartLine);
    SaveOrReport(platform, lines, path, dialogs, log, before);
    if (install) AskCleanup(lines, path, dialogs);
}

}  // namespace

void EditUserMacForInstall(Platform& platform, const std::string& root, UserDialogs& dialogs, StepLog& log) {
    RewriteUserMac(platform, root, dialogs, log, true);
}

void EditUserMacForRemove(Platform& platform, const std::string& root, UserDialogs& dialogs, StepLog& log) {
    RewriteUserMac(platform, root, dialogs, log, false);
}

}  // namespace orv
