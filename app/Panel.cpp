#include "Panel.h"

#include "WinHelpers.h"

namespace orv {

namespace {

constexpr const char* ClassName = "TPanel";

LRESULT CALLBACK PanelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT bounds;
    GetClientRect(window, &bounds);
    // Lowered inner bevel only: shadow above and left, highlight below and right, one pixel wide.
    DrawEdge(dc, &bounds, BDR_SUNKENOUTER, BF_RECT);
    EndPaint(window, &paint);
    return 0;
}

}  // namespace

const char* PanelClass(HINSTANCE instance) {
    RegisterWindowClass(ClassName, PanelProcedure, instance, 0, true);
    return ClassName;
}

}  // namespace orv
