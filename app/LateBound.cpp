#include "LateBound.h"

#include <string>

namespace orv {

namespace {

template <typename Function>
void Bind(Function& target, HMODULE module, const char* name) {
    if (module != nullptr) target = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

LateBoundFunctions Lookup() {
    LateBoundFunctions f;
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const HMODULE user = GetModuleHandleA("user32.dll");
    Bind(f.SetDefaultDllDirectories, kernel, "SetDefaultDllDirectories");
    Bind(f.SetDllDirectoryA, kernel, "SetDllDirectoryA");
    Bind(f.MonitorFromWindow, user, "MonitorFromWindow");
    Bind(f.GetMonitorInfoA, user, "GetMonitorInfoA");
    return f;
}

constexpr DWORD LoadLibrarySearchSystem32 = 0x00000800;

}  // namespace

const LateBoundFunctions& LateBound() {
    static const LateBoundFunctions functions = Lookup();
    return functions;
}

constexpr const char* LateLoadedLibraries[] = {
    "uxtheme",  "dwmapi",  "comctl32", "userenv", "profapi", "setupapi", "apphelp", "propsys", "cryptbase",
    "cryptsp",  "secur32", "sspicli",  "ntmarta", "oleacc",  "clbcatq",  "version", "shfolder", "riched20",
    "msimg32",  "winmm",   "wtsapi32", "netapi32", "mpr",    "imm32",
};
const int LateLoadedLibraryCount = static_cast<int>(sizeof LateLoadedLibraries / sizeof LateLoadedLibraries[0]);

// The names are short: a backslash, a name and ".dll" fit in the 16 characters kept free after the folder.
constexpr bool NamesFit() {
    for (const char* name : LateLoadedLibraries) {
        if (std::char_traits<char>::length(name) > 10) return false;
    }
    return true;
}
static_assert(NamesFit());

void PreloadSystemLibraries() {
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH - 16) return;
    path[length] = '\\';
    for (const char* name : LateLoadedLibraries) {
        char* const end = path + length + 1;
        const std::size_t size = std::char_traits<char>::length(name);
        std::char_traits<char>::copy(end, name, size);
        std::char_traits<char>::copy(end + size, ".dll", 5);
        // Their own imports are then looked for beside them, in the system folder, too. A DLL this system
        // does not have is simply not there to be planted in its place by anything the system loads.
        LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
}

void RestrictDllSearch() {
    const LateBoundFunctions& f = LateBound();
    if (f.SetDefaultDllDirectories != nullptr && f.SetDefaultDllDirectories(LoadLibrarySearchSystem32)) return;
    // Older systems: take the current folder off the search path, and load from the system folder what would
    // otherwise be looked for in the program's own.
    if (f.SetDllDirectoryA != nullptr) f.SetDllDirectoryA("");
    PreloadSystemLibraries();
}

}  // namespace orv
