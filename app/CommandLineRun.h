#pragma once
// The program started with switches (/install, /remove, /status, /verify, /?): no main window; it reports
// to the calling console and an optional record of the run, and ends with an exit code for the caller.
#include <windows.h>

#include "CommandLine.h"

namespace orv {

int RunFromCommandLine(HINSTANCE instance, const Options& options);

}  // namespace orv
