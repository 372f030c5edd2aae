#pragma once
// The program run from a command line or a software-distribution tool: the same procedures as the
// window's buttons, reporting to the console and to a record of the run instead of panels and buttons.
#include <string>

#include "CommandLine.h"
#include "Platform.h"
#include "UserDialogs.h"

namespace orv {

// Where report lines go: the console, the log file.
class LineSink {
public:
    virtual void WriteLine(const std::string& line) = 0;
    // Whether a line could not be written in full.
    virtual bool Failed() const { return false; }

protected:
    ~LineSink() = default;
};

// What the program knows about its run, gathered by the Windows side.
struct RunFacts {
    std::string localTime;  // "2026-12-08 21:40:07 +01:00"
    std::string user;
    std::string computer;
    std::string commandLine;
    std::string commit;  // the source commit the program was built from, for /version
    // For the installation report and the event record.
    std::string utcTime{};      // "2026-12-08 20:40:07"
    std::string account{};      // "DOMAIN\name"
    std::string sid{};          // "S-1-5-21-..."
    std::string rights{};       // "SYSTEM", "administrator (elevated)", "standard user"
    std::string windows{};      // "10.0 build 19045, x64; this program x86"
    std::string programPath{};  // this program's file
    unsigned codePage = 0;    // of the system's 8-bit text, 0 when not known
};

// What distribution tools see. Never success when anything failed.
enum ExitCode : int {
    ExitSuccess = 0,
    ExitReportedFailures = 1,   // a file, user.mac or a restore failed and was reported; the rest was done
    // Refused, nothing changed, run again later: a ChemStation program is running, or another run of the
    // installer. Windows Installer's "another installation is in progress", which deployment tools retry.
    ExitHostRunning = 1618,
    ExitNoHost = 3,             // ChemStation not found, or the unsupported GCMS variant
    ExitStoppedByError = 4,     // an error the window would have shown in its error display ended the run
    ExitVerifyFailed = 5,       // /verify: the installation differs from this program's files
    ExitInvalidCommandLine = 87,
};

// Runs one action of the options (not the window). With interactive dialogs, messages are also shown
// to a person; without, the clean-up question is answered No.
int RunUnattended(Platform& platform, const Options& options, const RunFacts& facts, LineSink& out, LineSink& log,
                  UserDialogs* interactive);

}  // namespace orv
