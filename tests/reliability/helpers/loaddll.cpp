/* Loads a DLL by its bare name, as a program without any defence would ("none"), after restricting the search
 * to the system folder the way the installer does at its start ("system"), or after the installer's preload of
 * the system's DLLs by full path, its defence where the search cannot be restricted ("preload"). The DLL
 * planting test starts it among its canaries to show that a planted DLL is taken when asked for, and that
 * either defence keeps it out.
 * usage: loaddll NAME none|system|preload     prints "loaded" or "not loaded" */
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "LateBound.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        fputs("usage: loaddll NAME none|system|preload\n", stderr);
        return 2;
    }
    if (strcmp(argv[2], "system") == 0) {
        BOOL(WINAPI * restrictSearch)(DWORD) = (BOOL(WINAPI*)(DWORD))(void*)GetProcAddress(
            GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
        if (restrictSearch == NULL || !restrictSearch(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */)) {
            fputs("loaddll: cannot restrict the search\n", stderr);
            return 2;
        }
    }
    if (strcmp(argv[2], "preload") == 0) orv::PreloadSystemLibraries();
    puts(LoadLibraryA(argv[1]) != NULL ? "loaded" : "not loaded");
    return 0;
}
