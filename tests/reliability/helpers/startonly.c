/* A program that runs no code of its own: it imports what the installer imports and carries its
 * manifest and version resources, and ends at once. Whatever DLL is loaded into it was loaded by the
 * system's own DLLs while the process started. */
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

/* One function of each DLL, so that each stays in the import table. */
void* volatile imported[] = {(void*)InitCommonControls, (void*)ShellExecuteA, (void*)RegCloseKey,
                             (void*)GetStockObject, (void*)MessageBoxA};

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    return 0;
}
