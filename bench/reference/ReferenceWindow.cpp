// The yardstick for the installer's start-up: a window of the same class, caption, size and controls (six
// labels, four buttons, six bevelled panels with two labels each, the same three fonts, labels sized to
// their text), built by the same compiler with the same options and manifest, but with none of the
// installer's work: no host lookup, no status, no payload. Escape, the close box or WM_CLOSE ends it.
#include <windows.h>
#include <commctrl.h>

namespace {

struct Control {
    enum Kind { Label, Button, Panel } kind;
    int left, top, width, height;
    const char* text;
    const char* second;  // a panel's second label
    int font;            // 0 plain, 1 bold, 2 bold underlined
    bool visible;
};

// The installer's main window at 96 pixels per inch, in creation order.
const Control Controls[] = {
    {Control::Label, 40, 160, 0, 0, "C:\\HPCHEM", nullptr, 0, true},
    {Control::Label, 13, 152, 0, 0, "Orvandel Chemstation Addon made by Tovrenik", nullptr, 0, true},
    {Control::Label, 80, 8, 45, 13, "A.03.02", nullptr, 1, true},
    {Control::Label, 13, 168, 0, 0, "support@tovrenik.example", nullptr, 2, true},
    {Control::Label, 394, 168, 92, 13, "www.tovrenik.example", nullptr, 2, true},
    {Control::Label, 15, 8, 0, 0, "Version", nullptr, 1, true},
    {Control::Button, 16, 112, 65, 25, "&Install", nullptr, 0, true},
    {Control::Button, 88, 112, 65, 25, "&Remove", nullptr, 0, true},
    {Control::Button, 424, 112, 57, 25, "&Close", nullptr, 0, true},
    {Control::Panel, 8, 40, 241, 57, "This will install an addon for your ChemStation", "Do you want to continue?", 0,
     true},
    {Control::Panel, 8, 40, 241, 57, "Incomplete installation detected", "You can select install or remove", 0, false},
    {Control::Panel, 8, 40, 241, 57, "Files are already installed", "Do you want to remove?", 0, false},
    {Control::Panel, 8, 40, 241, 57, "ChemStation not found", "Can not continue", 0, false},
    {Control::Panel, 8, 40, 241, 57, "GCMS ChemStation is not supported", "Can not continue", 0, false},
    {Control::Panel, 8, 40, 241, 57, "Version currently installed :", "", 0, false},
    {Control::Button, 328, 112, 89, 25, "Edit &user.mac", nullptr, 0, true},
};

int dpi = 96;
HFONT fonts[3];

int Scale(int value) { return MulDiv(value, dpi, 96); }

LRESULT CALLBACK PanelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT bounds;
    GetClientRect(window, &bounds);
    DrawEdge(dc, &bounds, BDR_SUNKENOUTER, BF_RECT);
    EndPaint(window, &paint);
    return 0;
}

LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) DestroyWindow(window);
        return 0;
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefDlgProcA(window, message, wParam, lParam);
    }
}

HWND Child(HWND parent, const char* className, const char* text, DWORD style, int id, HFONT font) {
    HWND child = CreateWindowExA(0, className, text, WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

// A label takes the size of its text; a right-aligned one keeps its right edge.
void Label(HWND parent, const char* text, int id, int left, int top, int width, int font, bool visible) {
    HWND label = Child(parent, "STATIC", text, SS_NOPREFIX | (visible ? WS_VISIBLE : 0), id, fonts[font]);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, fonts[font]);
    RECT r = {0, 0, 0, 0};
    DrawTextA(dc, text, -1, &r, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int x = width > 0 ? Scale(left + width) - r.right : Scale(left);
    SetWindowPos(label, nullptr, x, Scale(top), r.right, r.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    HDC screen = GetDC(nullptr);
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    for (int i = 0; i < 3; ++i) {
        fonts[i] = CreateFontA(-Scale(11), 0, 0, 0, i == 0 ? FW_NORMAL : FW_BOLD, FALSE, i == 2, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                               "MS Sans Serif");
    }

    WNDCLASSA panel = {};
    panel.lpfnWndProc = PanelProcedure;
    panel.hInstance = instance;
    panel.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    panel.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    panel.lpszClassName = "TPanel";
    RegisterClassA(&panel);

    WNDCLASSA form = {};
    form.lpfnWndProc = FormProcedure;
    form.cbWndExtra = DLGWINDOWEXTRA;
    form.hInstance = instance;
    form.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = "TForm1";
    RegisterClassA(&form);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT frame = {0, 0, Scale(498), Scale(191)};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND window = CreateWindowExA(WS_EX_CONTROLPARENT, "TForm1", "Orvandel Chemstation Addon", style, left, top,
                                  width, height, nullptr, nullptr, instance, nullptr);
    int id = 100;
    for (const Control& c : Controls) {
        ++id;
        if (c.kind == Control::Label) {
            Label(window, c.text, id, c.left, c.top, c.width, c.font, c.visible);
        } else if (c.kind == Control::Button) {
            HWND button = Child(window, "BUTTON", c.text, WS_TABSTOP | WS_VISIBLE | BS_PUSHBUTTON, id, fonts[0]);
            SetWindowPos(button, nullptr, Scale(c.left), Scale(c.top), Scale(c.width), Scale(c.height),
                         SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            HWND box = Child(window, "TPanel", "", c.visible ? WS_VISIBLE : 0, id, fonts[0]);
            SetWindowPos(box, HWND_TOP, Scale(c.left), Scale(c.top), Scale(c.width), Scale(c.height), SWP_NOACTIVATE);
            Label(box, c.text, id + 100, 8, 8, 0, 0, true);
            Label(box, c.second, id + 200, 8, 32, 0, 0, true);
        }
    }
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    for (HFONT font : fonts) DeleteObject(font);
    return 0;
}
