// Where the 32-bit program starts, in place of the MinGW runtime's start-up code.
//
// That code prepares what this program never uses (argc and argv, the environment copy, console text
// modes, floating-point and math-error hooks, thread-local storage callbacks, fix-ups for data imported
// from DLLs) and brings 8 KB and three sections with it. What the program needs is done here: the C
// runtime is told that it serves a window program (its own failure messages then appear in a message box,
// as before), static objects are constructed, and exit() runs their destructors and atexit() handlers.
#include <windows.h>

#include <cstdlib>

extern "C" void __set_app_type(int);  // msvcrt
extern "C" void __main();             // libmingw32: runs the static constructors, registers the destructors

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {
constexpr int kGuiApp = 2;  // msvcrt's _GUI_APP
}

// The destructors of static objects are handed to msvcrt, which runs them in exit().
extern "C" int atexit(void (*function)()) {
    return _onexit(reinterpret_cast<_onexit_t>(function)) ? 0 : -1;
}

// The entry point the linker writes into the image (app/CMakeLists.txt).
extern "C" void OrvandelStart() {
    __set_app_type(kGuiApp);
    __main();
    std::exit(WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT));
}
