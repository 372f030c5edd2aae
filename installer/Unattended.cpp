#include "Unattended.h"

#include <algorithm>
#include <exception>
#include <string>

#include "Exceptions.h"
#include "HostContract.h"
#include "HostLocation.h"
#include "InstallationCheck.h"
#include "InstallationReport.h"
#include "Inspection.h"
#include "JoinedText.h"
#include "LineList.h"
#include "Messages.h"
#include "Procedures.h"
#include "Sha256.h"
#include "StepLog.h"
#include "UserMacEdit.h"
#include "VersionReport.h"

namespace orv {
namespace {

// Both sinks at once: what the console shows also goes into the record.
class Report {
public:
    Report(LineSink& out, LineSink& log) : out_(out), log_(log) {}
    void Say(const std::string& text) {
        std::size_t start = 0;
        while (true) {
            const std::size_t stop = text.find('\n', start);
            const std::string line = text.substr(start, stop - start);  // the rest when there is no line feed
            out_.WriteLine(line);
            log_.WriteLine(line);
            if (stop == std::string::npos) break;
            start = stop + 1;
        }
    }
    void Record(const std::string& line) { log_.WriteLine(line); }
    // A line of pieces, joined here rather than at each of the many places that say one.
    void Say(std::initializer_list<std::string_view> pieces) { Say(Joined(pieces)); }
    void Record(std::initializer_list<std::string_view> pieces) { Record(Joined(pieces)); }

private:
    LineSink& out_;
    LineSink& log_;
};

class RecordedSteps final : public StepLog {
public:
    explicit RecordedSteps(Report& report) : report_(report) {}
    void FolderCreated(const std::string& path) override { report_.Record({"folder created: ", path}); }
    void FileWritten(const std::string& path, const unsigned char* data, std::size_t size) override {
        report_.Record(
            {"file written: ", path, " (", Decimal(size), " bytes, sha256 ", Sha256::Of(data, size), ")"});
    }
    void WrittenInPlace(const std::string& path) override {
        report_.Say({"Warning: ", path,
                     " was rewritten in place, not in one step: this user may not create files in its folder"});
    }
    void UserMacRewritten(const std::string& path, std::size_t before, std::size_t after) override {
        report_.Record({"user.mac rewritten: ", path, " (", Decimal(before), " lines before, ",
                        Decimal(after), " after)"});
    }
    void VersionRecorded(const std::string& profile, const std::string& version) override {
        report_.Record({"version recorded: ", version, " in ", profile});
    }
    void VersionForgotten(const std::string& profile) override { report_.Record({"version removed from ", profile}); }
    void VersionNotForgotten(const std::string& profile) override {
        report_.Say({"Error: the recorded version could not be removed from ", profile});
        ++failures;
    }
    void BackupRestored(const std::string& backup, const std::string& config) override {
        report_.Record({"backup restored: ", backup, " over ", config});
    }
    void FileDeleted(const std::string& path) override { report_.Record({"file deleted: ", path}); }
    void FileNotDeleted(const std::string& path) override {
        report_.Say({"Error: could not delete ", path});
        ++failures;
    }

    int failures = 0;

private:
    Report& report_;
};

// Every message goes to the report; a person answers too when there is one, else the question gets No.
class ReportedDialogs final : public UserDialogs {
public:
    ReportedDialogs(Report& report, UserDialogs* person) : report_(report), person_(person) {}
    DialogAnswer ShowMessageDialog(const std::string& text, DialogKind kind, DialogButtons buttons) override {
        report_.Say({kind == DialogKind::Error ? "Error: " : "", text});
        if (kind == DialogKind::Error) {
            if (text == msg::HostRunning) hostRunning = true;
            else ++failures;
        }
        DialogAnswer answer = buttons == DialogButtons::Ok ? AnswerOk : AnswerNo;
        if (person_ != nullptr) answer = person_->ShowMessageDialog(text, kind, buttons);
        if (buttons == DialogButtons::YesNo) report_.Record({answer == AnswerYes ? "answered Yes" : "answered No"});
        return answer;
    }
    void EditUserMac() override {
        if (person_ != nullptr) person_->EditUserMac();
    }

    bool hostRunning = false;
    int failures = 0;

private:
    Report& report_;
    UserDialogs* person_;
};

class NoView final : public StatusView {
public:
    void ShowPanel(Panel, bool) override {}
    void EnableButton(Button, bool) override {}
    void SetVersionText(const std::string&) override {}
};

const char* Presence(bool present) { return present ? "present" : "missing"; }

int ReportStatus(Platform& platform, const std::string& root, Report& report) {
    const Inspection found = InspectInstallation(platform, root);
    for (int i = 0; i < 7; ++i) report.Say({Presence(found.files[i]), "  ", root, addon::Files[i]});
    report.Say({Presence(found.startLine), "  start line in ", root, host::UserMac});
    report.Say({found.version == addon::Version ? "present" : "differs", "  recorded version ", found.version});
    const char* state = found.score == 0                 ? "not installed"
                        : found.score == addon::FullScore ? "installed"
                                                          : "incomplete";
    report.Say({"score ", Decimal(found.score), " of 9: ", state});
    return ExitSuccess;
}

// Evidence for a validated system: every file byte for byte, the start line first, the version.
int Verify(const std::vector<CheckRow>& rows, Report& report) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CheckRow& row = rows[i];
        const char* mark = row.pass ? "OK        " : "DIFFERS   ";
        if (i + 2 == rows.size()) report.Say({mark, "start line first in ", row.path});
        else if (i + 1 == rows.size())
            report.Say({mark, "recorded version ", row.found, ", this program ", row.expected});
        else if (!row.present) report.Say({"MISSING   ", row.path, "  expected sha256 ", row.expectedSha256});
        else if (row.foundSha256.empty())
            report.Say({"UNREADABLE ", row.path, "  ", std::string_view(row.found).substr(12)});
        else
            report.Say({mark, row.path, "  sha256 ", row.foundSha256, row.pass ? "" : "  expected ",
                        row.pass ? std::string_view() : row.expectedSha256});
    }
    const int holding = Holding(rows);
    report.Say({Decimal(holding), " of 9 hold"});
    return holding == addon::FullScore ? ExitSuccess : ExitVerifyFailed;
}

// Windows takes paths of at most 259 characters. Under a root that long, "ChemStation not found" or a
// folder's "I/O error 206" alone would leave the reader guessing why. The longest path a run uses is that
// of a file's replacement, written beside it under a longer name.
void WarnOfLongPaths(const std::string& root, Report& report) {
    constexpr std::size_t LongestPath = 259;
    constexpr std::size_t LongestName = [] {
        std::size_t longest = std::char_traits<char>::length(host::UserMac);
        for (const char* file : addon::Files) longest = std::max(longest, std::char_traits<char>::length(file));
        return longest + std::char_traits<char>::length(ReplacementSuffix);
    }();
    if (root.size() + LongestName > LongestPath) {
        report.Say({"Warning: ", root, " is too long: paths under it exceed the ", Decimal(LongestPath),
                    " characters Windows allows"});
    }
}

// The checks an install or a remove makes before the procedure's own: no other run of the installer on the
// machine, and no program of the host running in any session (the procedure itself sees only the windows
// of this desktop). Each refusal is said and changes nothing.
bool MayChangeTheHost(Platform& platform, const std::string& root, Report& report, UserDialogs& dialogs) {
    if (!platform.ClaimSoleRun()) {
        dialogs.ShowMessageDialog(msg::AnotherRun, DialogKind::Error, DialogButtons::Ok);
        const std::string holder = platform.SoleRunHolder();
        report.Say({"held by: ", holder.empty() ? std::string_view("(not found)") : holder});
        return false;
    }
    std::vector<RunningProcess> unexamined;
    const auto program = HostProgramRunning(platform, root, unexamined);
    // The system's protected processes are closed even to SYSTEM; the record says which were passed over.
    for (const RunningProcess& process : unexamined)
        report.Record({"not examined: process ", Decimal(process.id), " (", process.name, ")"});
    if (program) {
        dialogs.ShowMessageDialog(msg::HostRunning, DialogKind::Error, DialogButtons::Ok);
        report.Say({"running: ", program->name, " (", program->image, ")"});
        return false;
    }
    return true;
}

// Needs no ChemStation: it describes this program file, to be matched with its release notes.
int ReportVersion(Platform& platform, const std::string& commit, Report& report) {
    report.Say(VersionText(commit, LoadPayload(platform)));  // a line each
    return ExitSuccess;
}

int ChangeTheHost(Platform& platform, Action action, const HostLocation& host, const std::vector<PayloadItem>& payload,
                  Report& report, UserDialogs* person) {
    ReportedDialogs dialogs(report, person);
    if (!MayChangeTheHost(platform, host.root, report, dialogs)) return ExitHostRunning;
    RecordedSteps steps(report);
    NoView view;
    if (action == Action::Install) InstallAddon(platform, host, payload, view, dialogs, steps);
    else RemoveAddon(platform, host, view, dialogs, steps);
    if (dialogs.hostRunning) return ExitHostRunning;
    if (dialogs.failures > 0 || steps.failures > 0) return ExitReportedFailures;
    // A deletion that failed is not reported by the procedure; the tree itself tells whether the work is done.
    const int score = InspectInstallation(platform, host.root).score;
    const bool done = action == Action::Install ? score == addon::FullScore : score == 0;
    if (!done) report.Say({"Error: the installation is incomplete afterwards (score ", Decimal(score), " of 9)"});
    return done ? ExitSuccess : ExitReportedFailures;
}

// What a run found, for its installation report.
struct Findings {
    std::string root, profile;
    std::vector<CheckRow> rows;
};

int RunAction(Platform& platform, const Options& options, Report& report, UserDialogs* person, Findings& found) {
    const HostLocation host = LocateHost(platform);
    found.root = host.root;
    found.profile = host.profile.FileName();
    report.Record({"ChemStationRoot: ", host.root, " (from ", host.profile.FileName(), ")"});
    WarnOfLongPaths(host.root, report);
    if (host.root.empty() || !platform.FolderIsPresent(host.root + host::CoreFolder)) {
        const bool massSpec = !host.root.empty() && platform.FolderIsPresent(host.root + host::MassSpecFolder);
        report.Say({massSpec ? "GCMS ChemStation is not supported" : "ChemStation not found"});
        return ExitNoHost;
    }
    if (options.action == Action::Status) return ReportStatus(platform, host.root, report);
    const std::vector<PayloadItem> payload = LoadPayload(platform);
    const bool install = options.action != Action::Remove;
    if (options.action == Action::Verify) {
        found.rows = CheckInstallation(platform, host.root, payload, true);
        return Verify(found.rows, report);
    }
    const int code = ChangeTheHost(platform, options.action, host, payload, report, person);
    if (options.reportFile.empty()) return code;
    // The report checks what the run left, byte for byte, which the run itself judged only by presence.
    found.rows = CheckInstallation(platform, host.root, payload, install);
    if (code != ExitSuccess || Holding(found.rows) == addon::FullScore) return code;
    report.Say({"Error: the installation differs from what ", install ? "an install" : "a removal", " leaves (",
                Decimal(Holding(found.rows)), " of 9 as expected)"});
    return ExitVerifyFailed;
}

const char* ActionName(Action action) {
    return action == Action::Install ? "install" : action == Action::Remove ? "remove" : "verify";
}

// Written beside its place and then moved there, as every file; its digest goes into the record, so that a
// report shown later can be matched with the run that wrote it.
int WriteReport(Platform& platform, const RunFacts& facts, const Options& options, const Findings& found, int code,
                Report& report) {
    ReportSubject subject{ActionName(options.action), {}, found.root, found.profile, found.rows, code,
                          options.logFile};
    try {
        subject.programSha256 = Sha256::Of(platform.ReadWholeFile(facts.programPath));
    } catch (const Exception&) {
    }
    const std::string html = InstallationReport(facts, subject);
    try {
        platform.WriteWholeFile(options.reportFile, html.data(), html.size());
    } catch (const Exception& e) {
        report.Say({"Error: the report could not be written: ", WithFullStop(e.Message())});
        return code == ExitSuccess ? ExitReportedFailures : code;
    }
    report.Record({"report written: ", platform.FullPath(options.reportFile), " (", Decimal(html.size()),
                   " bytes, sha256 ", Sha256::Of(html), ")"});
    return code;
}

// One record in the Application event log for each install, remove and verify, for a lab's log collection.
void RecordEvent(Platform& platform, const RunFacts& facts, const Options& options, int code) {
    if (options.action != Action::Install && options.action != Action::Remove && options.action != Action::Verify)
        return;
    const bool refused = code == ExitHostRunning || code == ExitNoHost;
    const EventKind kind = code == ExitSuccess ? EventKind::Information : refused ? EventKind::Warning : EventKind::Error;
    // One line a field; what came from the command line cannot add a line of its own.
    std::string text = "Orvandel installer ";
    text += addon::Version;
    text += ": ";
    text += ActionName(options.action);
    text += code == ExitSuccess ? " succeeded" : refused ? " refused" : " failed";
    text += "\r\nexit code ";
    text += Decimal(static_cast<unsigned long>(code));
    text += "\r\nuser ";
    text += facts.account;
    text += "\r\nlog ";
    if (options.logFile.empty()) text += "none";
    else text += PrintableText(options.logFile);
    if (!options.reportFile.empty()) {
        text += "\r\nreport ";
        text += PrintableText(options.reportFile);
    }
    platform.LogEvent(kind, static_cast<unsigned>(code), text);
}

}  // namespace

int RunUnattended(Platform& platform, const Options& options, const RunFacts& facts, LineSink& out, LineSink& log,
                  UserDialogs* interactive) {
    Report report(out, log);
    report.Record({"---- ", facts.localTime, "  Orvandel installer ", addon::Version});
    report.Record({"user ", facts.user, " on ", facts.computer});
    report.Record({"command line: ", PrintableText(facts.commandLine)});
    int code = ExitSuccess;
    Findings found;
    if (!options.error.empty()) {
        report.Say(options.error);
        code = ExitInvalidCommandLine;
    }
    if (code == ExitInvalidCommandLine || options.action == Action::Usage) {
        report.Say(UsageText());
    } else {
        try {
            code = options.action == Action::Version ? ReportVersion(platform, facts.commit, report)
                                                     : RunAction(platform, options, report, interactive, found);
        } catch (const std::exception& e) {
            report.Say({"Error: ", WithFullStop(e.what())});
            code = ExitStoppedByError;
        }
        if (!options.reportFile.empty()) code = WriteReport(platform, facts, options, found, code, report);
    }
    // A record that could not be written in full is a failure of the run: the evidence is missing. Asked
    // before the exit code goes into the record, and after.
    for (bool recorded = false;; recorded = true) {
        if (code == ExitSuccess && log.Failed()) {
            out.WriteLine("Error: the record of this run could not be written in full");
            code = ExitReportedFailures;
        }
        if (recorded) break;
        report.Record({"exit code ", Decimal(static_cast<unsigned long>(code))});
    }
    RecordEvent(platform, facts, options, code);
    return code;
}

}  // namespace orv
