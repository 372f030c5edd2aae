/* Stands in for the add-on's 32-bit library in builds without the maker's files: a real library that loads,
   answers its version and does nothing else, so an installed test host behaves as with the original. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}

__declspec(dllexport) const char* WINAPI OrvVersion(void) { return "A.03.02 (build stand-in)"; }
