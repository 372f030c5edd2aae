#include "CommandLineRun.h"

#include <string>
#include <vector>

#include "ApplicationWindow.h"
#include "BuildCommit.h"
#include "ErrorDisplay.h"
#include "Exceptions.h"
#include "JoinedText.h"
#include "HostLocation.h"
#include "MessageDialog.h"
#include "Procedures.h"
#include "SystemFacts.h"
#include "RunLogFile.h"
#include "Unattended.h"
#include "WinHandle.h"
#include "WindowsPlatform.h"

namespace orv {
namespace {

// The console of whoever started the program, when there is one: a command prompt (attached) or a
// redirected standard output (inherited). Lines that have nowhere to go are kept for a dialog.
class ConsoleSink final : public LineSink {
public:
    ConsoleSink() {
        output_ = GetStdHandle(STD_OUTPUT_HANDLE);
        if (output_ == nullptr || output_ == INVALID_HANDLE_VALUE || GetFileType(output_) == FILE_TYPE_UNKNOWN) {
            output_ = INVALID_HANDLE_VALUE;
            if (AttachConsole(ATTACH_PARENT_PROCESS)) {
                console_.Reset(CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                  OPEN_EXISTING, 0, nullptr));
                output_ = console_.Get();
                // The prompt was printed before this program wrote; start on a fresh line.
                Write("\r\n");
            }
        }
    }
    void WriteLine(const std::string& line) override {
        // Lines (none holds a line break) are joined as a dialog shows them; leading empty ones are left out.
        if (!shown.empty()) shown += '\n';
        shown += line;
        Write(Joined({line, "\r\n"}));
    }
    bool HasConsole() const { return output_ != INVALID_HANDLE_VALUE; }

    std::string shown;

private:
    void Write(const std::string& text) {
        if (output_ == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        WriteFile(output_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    HANDLE output_ = INVALID_HANDLE_VALUE;
    FileHandle console_;
};

// Appends to the record file; several runs (and several machines, on a share) add to one file. What the name
// turned out to be is judged before anything is written to it. Without a name it takes the lines and keeps none.
class LogSink final : public LineSink {
public:
    LogSink(const std::string& path, bool elevated) {
        if (path.empty()) return;
        LogFileFacts facts;
        openFailed_ = !file_.Open(path, facts);
        if (!openFailed_) refusal = LogFileRefusal(path, facts, elevated);
        if (!refusal.empty()) file_.Close();
        writing_ = !openFailed_ && refusal.empty();
    }
    void WriteLine(const std::string& line) override {
        if (!writing_) return;
        if (!file_.Append(Joined({line, "\r\n"}))) writeFailed_ = true;
    }
    bool OpenFailed() const { return openFailed_; }
    bool Failed() const override { return writeFailed_; }

    std::string refusal;  // why the file is not written to; "" when it is

private:
    RunLogFile file_;
    bool openFailed_ = false;
    bool writing_ = false;
    bool writeFailed_ = false;
};

// A person at the screen: the program's own dialogs, and the editor for user.mac on Yes.
class PersonDialogs final : public UserDialogs {
public:
    explicit PersonDialogs(Platform& platform) : platform_(platform) {}
    DialogAnswer ShowMessageDialog(const std::string& text, DialogKind kind, DialogButtons buttons) override {
        return orv::ShowMessageDialog(text, kind, buttons);
    }
    void EditUserMac() override { orv::EditUserMac(platform_, LocateHost(platform_).root); }

private:
    Platform& platform_;
};

// Two digits of a clock or calendar field into text.
void PutTwoDigits(char* text, int value) {
    text[0] = static_cast<char>('0' + value / 10 % 10);
    text[1] = static_cast<char>('0' + value % 10);
}

RunFacts GatherFacts(const Options& options, bool elevated) {
    RunFacts facts;
    SYSTEMTIME now;
    GetLocalTime(&now);
    TIME_ZONE_INFORMATION zone;
    const DWORD zoneKind = GetTimeZoneInformation(&zone);
    long bias = zone.Bias + (zoneKind == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : 0);
    // Everything after the year, filled in place: one string is built instead of a dozen.
    char rest[] = "-MM-DD hh:mm:ss +hh:mm";
    rest[16] = bias <= 0 ? '+' : '-';  // the bias is UTC minus local time
    bias = bias < 0 ? -bias : bias;
    const int fields[] = {now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                          static_cast<int>(bias / 60), static_cast<int>(bias % 60)};
    static constexpr unsigned char places[] = {1, 4, 7, 10, 13, 17, 20};
    for (int i = 0; i < 7; ++i) PutTwoDigits(rest + places[i], fields[i]);
    facts.localTime += Decimal(now.wYear);  // put in place: no string of its own to move there and free
    facts.localTime += rest;
    char name[256];
    DWORD size = sizeof name;
    facts.user = GetUserNameA(name, &size) ? name : "?";
    size = sizeof name;
    facts.computer = GetComputerNameA(name, &size) ? name : "?";
    facts.commandLine = GetCommandLineA();
    facts.commit = ORV_BUILD_COMMIT;
    // Only the runs that write an event record or a report look up the account, which may ask a domain.
    if (options.action == Action::Install || options.action == Action::Remove || options.action == Action::Verify)
        GatherSystemFacts(facts, elevated);
    return facts;
}

}  // namespace

int RunFromCommandLine(HINSTANCE instance, const Options& options) {
    WindowsPlatform platform;
    ConsoleSink console;
    LogSink log(options.logFile, platform.RunsElevated());
    // A mistyped command line is the cause to report first: a log path inside it may be garbled as well.
    const bool refused = !log.refusal.empty();
    if ((refused || log.OpenFailed()) && options.error.empty()) {
        // One way out for both: the console's line is the dialog's text after "Error: ", begun in lower case.
        const std::string what = refused ? log.refusal : Joined({"Cannot open the log file ", options.logFile});
        std::string line = Joined({"Error: ", what});
        if (!refused) line[7] = 'c';
        console.WriteLine(line);
        if (!options.quiet) ReportUncaughtError(what);
        return refused ? ExitInvalidCommandLine : ExitStoppedByError;
    }
    // A quiet run shows no dialog and no error, so it makes no window: creating one is a good part of the
    // time such a run takes.
    const RunFacts facts = GatherFacts(options, platform.RunsElevated());
    if (options.quiet) return RunUnattended(platform, options, facts, console, log, nullptr);

    // The dialogs and the error display need the application's window, with its title, as their owner.
    ApplicationWindow application(instance);
    PersonDialogs person(platform);
    const int code = RunUnattended(platform, options, facts, console, log, &person);

    if (code == ExitStoppedByError) {
        // The last line that says an error.
        const std::string& shown = console.shown;
        std::size_t at = shown.rfind("\nError: ");
        at = at != std::string::npos ? at + 1 : shown.rfind("Error: ", 0);
        if (at != std::string::npos) ReportUncaughtError(shown.substr(at + 7, shown.find('\n', at) - at - 7));
    } else if (!console.HasConsole() && (code == ExitInvalidCommandLine ||
                                         (options.action != Action::Install && options.action != Action::Remove))) {
        // Started from Explorer or a shortcut: the report has no console to go to, so it is shown. So is the
        // usage after a mistyped switch, which would otherwise end the run without a word.
        ShowMessageDialog(console.shown, code == ExitSuccess ? DialogKind::Information : DialogKind::Error,
                          DialogButtons::Ok);
    }
    return code;
}

}  // namespace orv
