// The program's entry: lock down DLL loading, make the application window and the main window, run.
#include <windows.h>
#include <commctrl.h>

#include "ApplicationWindow.h"
#include "ErrorDisplay.h"
#include "LateBound.h"
#include "MainForm.h"
#include "MessageLoop.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    orv::RestrictDllSearch();
    // Loads the common controls the manifest names, so that buttons take the system's visual style.
    InitCommonControls();
    try {
        orv::ApplicationWindow application(instance);
        orv::MainForm form(instance, application);
        form.Show();
        application.ShowTaskbarButton();
        return orv::RunMessageLoop(form.Handle());
    } catch (...) {
        orv::ReportCurrentError();
        return 1;
    }
}
