/* A DLL that only tells on whoever loads it: its entry writes C:\canary-NAME.txt with the path of the
 * program that loaded it, and it loads as if nothing happened. Built once per DLL name (CANARY_NAME),
 * with no runtime library, so that loading it drags in nothing else. */
#include <windows.h>

#ifndef CANARY_NAME
#error CANARY_NAME must name the DLL this canary stands in for
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    char program[MAX_PATH];
    DWORD length, written;
    HANDLE marker;
    (void)instance;
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    length = GetModuleFileNameA(NULL, program, MAX_PATH);
    marker = CreateFileA("C:\\canary-" CANARY_NAME ".txt", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (marker != INVALID_HANDLE_VALUE) {
        WriteFile(marker, program, length, &written, NULL);
        WriteFile(marker, "\r\n", 2, &written, NULL);
        CloseHandle(marker);
    }
    return TRUE;
}
