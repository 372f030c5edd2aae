/* Started by the shell in the contract tests: appends "FOLDER|PARAMETERS" (its current folder and the words
 * it was given) to recorded.txt in its current folder, then ends. */
#include <windows.h>

#include <string.h>

int main(int argc, char** argv) {
    char line[2048];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, line), written;
    HANDLE notes;
    int i;
    if (length == 0 || length >= MAX_PATH) return 1;
    line[length++] = '|';
    for (i = 1; i < argc; ++i) {
        size_t size = strlen(argv[i]);
        if (length + size + 4 >= sizeof line) return 1;
        if (i > 1) line[length++] = ' ';
        memcpy(line + length, argv[i], size);
        length += (DWORD)size;
    }
    line[length++] = '\r';
    line[length++] = '\n';
    notes = CreateFileA("recorded.txt", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, NULL);
    if (notes == INVALID_HANDLE_VALUE) return 1;
    WriteFile(notes, line, length, &written, NULL);
    CloseHandle(notes);
    return 0;
}
