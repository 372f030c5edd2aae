/* A stand-in for a running ChemStation: a hidden top-level window whose class names it as the host's
 * (class name from the command line, "AfxPhxCntrllr1" by default). Prints "ready" once the window exists
 * and ends when the stop file appears or the process is killed.
 * usage: phxhost STOPFILE [CLASS] */
#include <windows.h>
#include <stdio.h>

static const char* stopFile;

static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && GetFileAttributesA(stopFile) != INVALID_FILE_ATTRIBUTES) DestroyWindow(window);
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int main(int argc, char** argv) {
    WNDCLASSA windowClass = {0};
    HWND window;
    MSG msg;
    if (argc < 2) {
        fputs("usage: phxhost STOPFILE [CLASS]\n", stderr);
        return 3;
    }
    stopFile = argv[1];
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = argc > 2 ? argv[2] : "AfxPhxCntrllr1";
    if (!RegisterClassA(&windowClass)) return 1;
    /* Never shown: the installer looks at every top-level window, and a shown one would take the
     * activation away from the window under test. */
    window = CreateWindowA(windowClass.lpszClassName, "ChemStation", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL,
                           NULL, windowClass.hInstance, NULL);
    if (!window) return 1;
    SetTimer(window, 1, 100, NULL);
    puts("ready");
    fflush(stdout);
    while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
