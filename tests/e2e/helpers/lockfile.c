/* Holds a file open for writing, sharing nothing, until the stop file appears: another program then
 * cannot open it at all. Prints "held" once the file is open.
 * usage: lockfile FILE STOPFILE */
#include <windows.h>
#include <stdio.h>

int main(int argc, char** argv) {
    HANDLE file;
    if (argc < 3) {
        fputs("usage: lockfile FILE STOPFILE\n", stderr);
        return 3;
    }
    file = CreateFileA(argv[1], GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "lockfile: cannot open %s: error %lu\n", argv[1], GetLastError());
        return 1;
    }
    puts("held");
    fflush(stdout);
    while (GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES) Sleep(100);
    CloseHandle(file);
    return 0;
}
