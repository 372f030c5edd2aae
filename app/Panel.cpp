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
    WNDCLASSEXA wc = {};
    wc.lpfnWndProc = PanelProcedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = ClassName;
    RegisterWindowClass(wc);
    return ClassName;
}

}  // namespace orv
