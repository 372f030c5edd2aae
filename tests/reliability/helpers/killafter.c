/* Starts a program and ends it the hard way (TerminateProcess, as a crash would) a given number of
 * milliseconds after the first change it makes in one of some folders, unless it has ended by itself.
 * Most of a short run is the system starting the program: counting from its first change puts the kills
 * among its writes. Prints one line, the times in ms from the start:
 *   "exited CODE END FIRST"  the program ended by itself with CODE
 *   "killed END FIRST"       it was still running and was terminated
 * FIRST is the moment of the first change seen in the folders, -1 when none was.
 * usage: killafter MS FOLDER[;FOLDER...] COMMANDLINE     (MS of -1 waits for the end: a measurement)
 * Each folder is watched by itself (Wine reports no changes below a watched folder); a folder that does
 * not exist is passed over. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static LARGE_INTEGER start;

static double Elapsed(void) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (double)(now.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

int main(int argc, char** argv) {
    STARTUPINFOA startup;
    PROCESS_INFORMATION child;
    HANDLE waits[MAXIMUM_WAIT_OBJECTS];
    DWORD count = 1, code = 0, i;
    double first = -1.0;
    int delay;
    char* folder;
    if (argc != 4) {
        fputs("usage: killafter MS FOLDER[;FOLDER...] COMMANDLINE\n", stderr);
        return 2;
    }
    delay = atoi(argv[1]);
    for (folder = strtok(argv[2], ";"); folder != NULL && count < MAXIMUM_WAIT_OBJECTS; folder = strtok(NULL, ";")) {
        HANDLE watch = FindFirstChangeNotificationA(folder, FALSE,
                                                    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                                        FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
        if (watch != INVALID_HANDLE_VALUE) waits[count++] = watch;
    }
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(NULL, argv[3], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &child)) {
        fprintf(stderr, "killafter: cannot start %s: error %lu\n", argv[3], GetLastError());
        return 2;
    }
    waits[0] = child.hProcess;
    if (WaitForMultipleObjects(count, waits, FALSE, INFINITE) != WAIT_OBJECT_0) first = Elapsed();
    if (first >= 0 && delay >= 0 && WaitForSingleObject(child.hProcess, (DWORD)delay) == WAIT_TIMEOUT) {
        TerminateProcess(child.hProcess, 255);
        WaitForSingleObject(child.hProcess, INFINITE);
        printf("killed %.0f %.0f\n", Elapsed(), first);
    } else {
        WaitForSingleObject(child.hProcess, INFINITE);
        GetExitCodeProcess(child.hProcess, &code);
        printf("exited %lu %.0f %.0f\n", code, Elapsed(), first);
    }
    for (i = 1; i < count; ++i) FindCloseChangeNotification(waits[i]);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return 0;
}
