/* Loads a DLL by its bare name, as a program without any defence would ("none"), or after restricting the
 * search to the system folder the way the installer does at its start ("system"); or makes the installer's
 * preload of the system's DLLs by full path, its defence where the search cannot be restricted, and tells
 * where the DLL of that name then comes from ("preload"). The DLL planting test starts it among its canaries
 * to show that a planted DLL is taken when asked for, and that the defences keep it out.
 * usage: loaddll NAME none|system|preload    prints "loaded", "not loaded", or where the preloaded DLL is from */
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "LateBound.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        fputs("usage: loaddll NAME none|system|preload\n", stderr);
        return 2;
    }
    if (strcmp(argv[2], "preload") == 0) {
        orv::PreloadSystemLibraries();
        char path[MAX_PATH] = "", system[MAX_PATH] = "";
        HMODULE module = GetModuleHandleA(argv[1]);
        DWORD length = module != NULL ? GetModuleFileNameA(module, path, MAX_PATH) : 0;
        while (length > 0 && path[length - 1] != '\\') --length;
        path[length > 0 ? length - 1 : 0] = '\0';
        GetSystemDirectoryA(system, MAX_PATH);
        puts(module == NULL ? "not loaded" : _stricmp(path, system) == 0 ? "the system folder" : path);
        return 0;
    }
    if (strcmp(argv[2], "system") == 0) {
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
