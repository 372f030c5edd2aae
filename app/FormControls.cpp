// Building the main window: its class, fonts and every control of the design, scaled to the screen.
#include "MainForm.h"
#include "Panel.h"
#include "Exceptions.h"
#include "Resource.h"

namespace orv {

namespace {

constexpr const char* FormClass = "TForm1";
constexpr DWORD FormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD FormExStyle = WS_EX_CONTROLPARENT;

HWND CreateChild(HWND parent, const char* className, const char* text, DWORD style, int id, HFONT font) {
    HWND child = CreateWindowExA(0, className, text, WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                 nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

void MoveTo(HWND window, const PixelBox& box) {
    SetWindowPos(window, nullptr, box.left, box.top, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT CreateFormFont(int dpi, int weight, bool underline) {
    return CreateFontA(-ScaleToDpi(11, dpi), 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       "MS Sans Serif");
}

}  // namespace

HFONT MainForm::FontFor(TextLook look) const {
    switch (look) {
    case TextLook::Bold: return boldFont_.Font();
    case TextLook::Link: return linkFont_.Font();
    default: return plainFont_.Font();
    }
}

void MainForm::PlaceLabel(HWND label, const PixelBox& design, bool rightAligned) {
    ScreenMeasure measure(reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(measure.Dc(), &metrics);
    const SIZE text = measure.Extent(WindowText(label), DT_SINGLELINE | DT_NOPREFIX);
    MoveTo(label, FitLabel(design, rightAligned, dpi_, text.cx, metrics.tmHeight));
}

// Called from three places; made once, it is the smaller code.
[[gnu::noinline]] HWND MainForm::CreateLabel(HWND parent, const char* text, int id, const PixelBox& design,
                                             TextLook look, bool rightAligned, bool visible) {
    DWORD style = SS_NOPREFIX | (rightAligned ? SS_RIGHT : SS_LEFT) | (visible ? WS_VISIBLE : 0);
    if (look == TextLook::Link) style |= SS_NOTIFY;  // the links report clicks
    HWND label = CreateChild(parent, "STATIC", text, style, id, FontFor(look));
    PlaceLabel(label, design, rightAligned);
    return label;
}

void MainForm::CreateWindowAndControls(HINSTANCE instance, HWND owner) {
    dpi_ = ScreenDpi();
    plainFont_.Reset(CreateFormFont(dpi_, FW_NORMAL, false));
    boldFont_.Reset(CreateFormFont(dpi_, FW_BOLD, false));
    linkFont_.Reset(CreateFormFont(dpi_, FW_BOLD, true));
    handCursor_ = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND, missing before Windows 2000
    if (handCursor_ == nullptr) handCursor_ = LoadCursorA(nullptr, IDC_ARROW);

    // The window extra bytes are the system's dialog manager's: it does Tab, Enter, Escape and access keys.
    const HICON icon =
        static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_ORVANDEL), IMAGE_ICON, 32, 32, 0));
    const HICON smallIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_ORVANDEL), IMAGE_ICON,
                                                          GetSystemMetrics(SM_CXSMICON),
                                                          GetSystemMetrics(SM_CYSMICON), 0));
    RegisterWindowClass(FormClass, Procedure, instance, DLGWINDOWEXTRA, true, icon, smallIcon);

    RECT frame = {0, 0, ScaleToDpi(FormClientWidth, dpi_), ScaleToDpi(FormClientHeight, dpi_)};
    AdjustWindowRectEx(&frame, FormStyle, FALSE, FormExStyle);
    window_ = CreateWindowExA(FormExStyle, FormClass, FormCaption, FormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              frame.right - frame.left, frame.bottom - frame.top, owner, nullptr, instance, this);
    if (window_ == nullptr) throw Exception("The main window cannot be created");

    const char* panelClass = PanelClass(instance);
    bool firstButton = true;
    for (int i = 0; i < ctl::Count; ++i) {
        const ControlDesign& d = FormDesign[i];
        HWND control = nullptr;
        switch (d.kind) {
        case ControlKind::Label:
            control = CreateLabel(window_, d.caption, d.id, d.box, d.look, d.rightAligned, d.visible);
            break;
        case ControlKind::Button: {
            DWORD style = WS_TABSTOP | (d.visible ? WS_VISIBLE : 0) | (d.enabled ? 0 : WS_DISABLED);
            style |= i == ctl::ButtonInstall ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
            if (firstButton) style |= WS_GROUP;  // one group, so the arrow keys go round all the buttons
            firstButton = false;
            control = CreateChild(window_, "BUTTON", d.caption, style, d.id, plainFont_.Font());
            break;
        }
        case ControlKind::Panel:
            control = CreateChild(window_, panelClass, "", d.visible ? WS_VISIBLE : 0, d.id, plainFont_.Font());
            break;
        }
        // A label takes the size of its text; a button or panel its designed box.
        if (d.kind != ControlKind::Label) MoveTo(control, ScaleToDpi(d.box, dpi_));
        if (d.kind == ControlKind::Panel) {
            // A later panel lies above the earlier ones.
            SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            CreateLabel(control, d.caption, d.id + 100, PanelFirstLabel, TextLook::Plain, false, true);
            HWND second = CreateLabel(control, d.second, d.secondId, PanelSecondLabel, TextLook::Plain, false, true);
            if (i == ctl::PanelVersion) labelVersion_ = second;
        }
        controls_[i] = control;
    }
    SendMessageA(window_, DM_SETDEFID, FormDesign[ctl::ButtonInstall].id, 0);
}

}  // namespace orv
