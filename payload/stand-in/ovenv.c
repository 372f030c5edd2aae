/* Stands in for the add-on's auxiliary program in builds without the maker's files: a real Windows program
   that says what it is and ends. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    MessageBoxA(NULL, "This is a build stand-in for the Orvandel environment program.", "OVENV", MB_OK);
    return 0;
}
