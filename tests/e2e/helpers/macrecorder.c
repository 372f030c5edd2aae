/* Registered for the .mac file type in a test prefix: records how the shell started it by appending its
 * command line to C:\macrecorder.log, then ends at once. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show) {
    const char* line = GetCommandLineA();
    DWORD written;
    HANDLE log = CreateFileA("C:\\macrecorder.log", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    (void)instance;
    (void)previous;
    (void)arguments;
    (void)show;
    if (log == INVALID_HANDLE_VALUE) return 1;
    WriteFile(log, line, lstrlenA(line), &written, NULL);
    WriteFile(log, "\r\n", 2, &written, NULL);
    CloseHandle(log);
    return 0;
}
