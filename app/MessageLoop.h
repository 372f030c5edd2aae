#pragma once
#include <windows.h>

namespace orv {

// Runs until the main window is gone; keyboard input for the main window goes through the dialog manager
// first (Tab, Enter, Escape, access keys). Returns the exit code that came with WM_QUIT.
int RunMessageLoop(HWND mainWindow);

}  // namespace orv
