/* Holds a file open for writing, sharing nothing, until the stop file appears (or, given MS, for that many
 * milliseconds at most, as a virus scanner does): another program then cannot open it at all. Given AFTER,
 * the MS count starts once AFTER is written anew, so that a program writing AFTER and then FILE meets the
 * hold. Prints "held" once the file is open.
 * usage: lockfile FILE STOPFILE [MS [AFTER]] */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    HANDLE file;
    DWORD start, limit;
    WIN32_FILE_ATTRIBUTE_DATA before, now;
    if (argc < 3) {
        fputs("usage: lockfile FILE STOPFILE [MS]\n", stderr);
        return 3;
    }
    file = CreateFileA(argv[1], GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "lockfile: cannot open %s: error %lu\n", argv[1], GetLastError());
        return 1;
    }
    if (argc > 4) GetFileAttributesExA(argv[4], GetFileExInfoStandard, &before);
    start = GetTickCount();
    limit = argc > 3 ? (DWORD)strtoul(argv[3], NULL, 10) : INFINITE;
    puts("held");
    fflush(stdout);
    while (GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < limit) {
        if (argc > 4 && GetFileAttributesExA(argv[4], GetFileExInfoStandard, &now) &&
            CompareFileTime(&now.ftLastWriteTime, &before.ftLastWriteTime) == 0)
            start = GetTickCount();
        Sleep(10);
    }
    CloseHandle(file);
    return 0;
}
