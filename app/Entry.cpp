// The program's entry: lock down DLL loading, make the application window and the main window, run.
#include <windows.h>
#include <commctrl.h>

#include "ApplicationWindow.h"
#include "CommandLine.h"
#include "CommandLineRun.h"
#include "ErrorDisplay.h"
#include "LateBound.h"
#include "MainForm.h"
#include "MessageDialog.h"
#include "MessageLoop.h"
#include "Messages.h"
#include "Unattended.h"
#include "WindowsPlatform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    orv::RestrictDllSearch();
    // Loads the common controls the manifest names, so that buttons take the system's visual style.
    InitCommonControls();
    try {
        const orv::Options options = orv::ParseOptions(orv::SplitCommandLine(GetCommandLineA()));
        if (options.action != orv::Action::Window || !options.error.empty())
            return orv::RunFromCommandLine(instance, options);
        orv::ApplicationWindow application(instance);
        // One run at a time on the machine: the claim is held until the program ends.
        orv::WindowsPlatform soleRun;
        if (!soleRun.ClaimSoleRun()) {
            orv::ShowMessageDialog(orv::msg::AnotherRun, orv::DialogKind::Error, orv::DialogButtons::Ok);
            return orv::ExitHostRunning;
        }
        orv::MainForm form(instance, application);
        form.Show();
        application.ShowTaskbarButton();
        return orv::RunMessageLoop(form.Handle());
    } catch (...) {
        orv::ReportCurrentError();
        return 1;
    }
}
