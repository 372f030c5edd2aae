#include "LateBound.h"

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

void RestrictDllSearch() {
    const LateBoundFunctions& f = LateBound();
    if (f.SetDefaultDllDirectories != nullptr && f.SetDefaultDllDirectories(LoadLibrarySearchSystem32)) return;
    // Older systems: at least take the current folder off the search path.
    if (f.SetDllDirectoryA != nullptr) f.SetDllDirectoryA("");
}

}  // namespace orv
