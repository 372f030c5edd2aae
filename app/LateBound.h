#pragma once
// The few system functions newer than Windows XP (or its first service pack), looked up at run time so
// the program still starts where they are missing. Each pointer is null when the system lacks it.
#include <windows.h>

namespace orv {

struct LateBoundFunctions {
    BOOL(WINAPI* SetDefaultDllDirectories)(DWORD flags) = nullptr;
    BOOL(WINAPI* SetDllDirectoryA)(LPCSTR folder) = nullptr;
    HMONITOR(WINAPI* MonitorFromWindow)(HWND window, DWORD flags) = nullptr;
    BOOL(WINAPI* GetMonitorInfoA)(HMONITOR monitor, MONITORINFO* info) = nullptr;
};

const LateBoundFunctions& LateBound();

// DLLs are then loaded only from the system folder: a planted DLL beside the installer is never picked up.
// Where the system lacks that setting (Windows XP, Vista, 7 without its 2011 update), the program's own
// folder stays on the search path, so the DLLs that system code loads later on the program's behalf are
// loaded from the system folder by their full paths first (PreloadSystemLibraries).
void RestrictDllSearch();

// The DLLs of the system folder that the shell, the common controls, the security and profile functions load
// on demand; loaded by full path, once loaded they are found by name.
extern const char* const LateLoadedLibraries[];
extern const int LateLoadedLibraryCount;
void PreloadSystemLibraries();

}  // namespace orv
