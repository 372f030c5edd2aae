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
void RestrictDllSearch();

}  // namespace orv
