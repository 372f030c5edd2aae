// Where the 32-bit program starts, in place of the MinGW runtime's start-up code.
//
// That code prepares what this program never uses (argc and argv, the environment copy, console text
// modes, floating-point and math-error hooks, thread-local storage callbacks, fix-ups for data imported
// from DLLs) and brings 8 KB and three sections with it. What the program needs is done here: the C
// runtime is told that it serves a window program (its own failure messages then appear in a message box,
// as before), static objects are constructed, and exit() runs their destructors and atexit() handlers.
// libmingw32's __main, which runs the linker's lists of constructors and destructors, brings 300 bytes for
// what a few lines do.
#include <windows.h>

#include <cstdlib>

extern "C" void __set_app_type(int);  // msvcrt
// The linker's lists of the static objects' constructors and destructors: a count or -1, the functions, a null.
extern "C" void (*__CTOR_LIST__[])();
extern "C" void (*__DTOR_LIST__[])();

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

// The destructors of static objects are handed to msvcrt, which runs them in exit().
extern "C" int atexit(void (*function)()) {
    return _onexit(reinterpret_cast<_onexit_t>(function)) ? 0 : -1;
}

namespace {

constexpr int kGuiApp = 2;  // msvcrt's _GUI_APP

// Constructors run last to first, as GCC lists them; destructors first to last, at exit.
void ConstructStatics() {
    int count = 0;
    while (__CTOR_LIST__[count + 1]) ++count;
    while (count > 0) __CTOR_LIST__[count--]();
}

void DestroyStatics() {
    for (void (**f)() = __DTOR_LIST__ + 1; *f; ++f) (*f)();
}

}  // namespace

// The entry point the linker writes into the image (app/CMakeLists.txt).
extern "C" void OrvandelStart() {
    __set_app_type(kGuiApp);
    ConstructStatics();
    atexit(DestroyStatics);
    std::exit(WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT));
}
