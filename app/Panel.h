#pragma once
// A status panel: a child window with a lowered inner bevel that holds its own labels, so that it is
// shown and hidden as one.
#include <windows.h>

namespace orv {

// The window class of the panels ("TPanel"), registered once.
const char* PanelClass(HINSTANCE instance);

}  // namespace orv
