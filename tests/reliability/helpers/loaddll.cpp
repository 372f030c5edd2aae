/* Loads a DLL by its bare name, as a program without any defence would, or after restricting the search
 * to the system folder the way the installer does at its start ("system"). The DLL planting test starts
 * it among its canaries to show that a planted DLL is taken when asked for, and that the restriction
 * keeps it out.
 * usage: loaddll NAME [system]     prints "loaded" or "not loaded" */
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        fputs("usage: loaddll NAME [system]\n", stderr);
        return 2;
    }
    if (argc > 2 && strcmp(argv[2], "system") == 0) {
        BOOL(WINAPI * restrictSearch)(DWORD) = (BOOL(WINAPI*)(DWORD))(void*)GetProcAddress(
            GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
        if (restrictSearch == NULL || !restrictSearch(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */)) {
            fputs("loaddll: cannot restrict the search\n", stderr);
            return 2;
        }
    }
    puts(LoadLibraryA(argv[1]) != NULL ? "loaded" : "not loaded");
    return 0;
}
