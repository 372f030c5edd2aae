#include "MessageDialog.h"

#include <windows.h>

#include <span>

#include "AppText.h"
#include "ApplicationWindow.h"
#include "ErrorDisplay.h"
#include "LateBound.h"
#include "MessageLayout.h"
#include "ModalState.h"
#include "Resource.h"
#include "WinHelpers.h"

namespace orv {

namespace {

constexpr const char* ClassName = "TMessageForm";
constexpr int IconSize = 32;
constexpr int TextId = 100;
constexpr int IconId = 101;
constexpr UINT TextFlags = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
// The size of NONCLIENTMETRICSA up to Windows XP; a newer system accepts it, XP refuses a larger one.
static_assert(sizeof(NONCLIENTMETRICSA) == 340, "the XP form of the non-client metrics");

struct DialogButton {
    UINT captionId;
    DialogAnswer answer;
};

constexpr DialogButton OkButton[] = {{IDS_BUTTON_OK, AnswerOk}};
constexpr DialogButton YesNoButtons[] = {{IDS_BUTTON_YES, AnswerYes}, {IDS_BUTTON_NO, AnswerNo}};

struct Dialog {
    std::string title;
    const std::string& text;
    std::span<const DialogButton> buttons;
    std::string captions[2];  // the buttons' own, in their order
    DialogAnswer cancelAnswer = AnswerOk;  // what Escape presses
    DialogAnswer answer = AnswerCancel;
    bool done = false;
    HWND window = nullptr;

    Dialog(const std::string& shown, UINT titleId) : title(ResourceText(titleId)), text(shown) {}
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    ~Dialog() {
        if (window != nullptr && IsWindow(window)) DestroyWindow(window);
    }

    void Finish(DialogAnswer how) {
        answer = how;
        done = true;
        // A click sent from another program does not wake GetMessage: a posted message does.
        PostMessageA(window, WM_NULL, 0, 0);
    }
    void CopyToClipboard() const;
};

HFONT CreateMessageFont() {
    NONCLIENTMETRICSA metrics;  // read only once the system has filled it
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return CreateFontIndirectA(&metrics.lfMessageFont);
    return nullptr;
}

DialogUnits UnitsOf(const ScreenMeasure& measure) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size = {};
    GetTextExtentPoint32A(measure.Dc(), alphabet, 52, &size);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(measure.Dc(), &metrics);
    return DialogUnits{(size.cx / 26 + 1) / 2, metrics.tmHeight};
}

// The rectangle of the monitor that shows the active window; the primary screen where that cannot be asked.
RECT ScreenOf(HWND active) {
    const LateBoundFunctions& f = LateBound();
    if (f.MonitorFromWindow != nullptr && f.GetMonitorInfoA != nullptr) {
        MONITORINFO info;  // read only once the system has filled it
        info.cbSize = sizeof info;
        const HMONITOR monitor = f.MonitorFromWindow(active, MONITOR_DEFAULTTONEAREST);
        if (monitor != nullptr && f.GetMonitorInfoA(monitor, &info)) return info.rcMonitor;
    }
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return screen;
}

void Dialog::CopyToClipboard() const {
    const std::string clip = DialogClipboardText(title, text, std::span(captions, buttons.size()));
    if (!OpenClipboard(window)) return;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, clip.size() + 1);
    if (memory != nullptr) {
        if (void* bytes = GlobalLock(memory)) {
            CopyMemory(bytes, clip.c_str(), clip.size() + 1);
            GlobalUnlock(memory);
            if (SetClipboardData(CF_TEXT, memory) == nullptr) GlobalFree(memory);
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

LRESULT HandleDialogMessage(Dialog& dialog, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDCANCEL) {  // Escape, wherever the focus is
            dialog.Finish(dialog.cancelAnswer);
            return 0;
        }
        for (const DialogButton& button : dialog.buttons) {
            if (button.answer == id && HIWORD(wParam) == BN_CLICKED) dialog.Finish(button.answer);
        }
        return 0;
    }
    case WM_CLOSE:  // the close box, Alt+F4, Close on the window menu
        dialog.Finish(AnswerCancel);
        return 0;
    default:
        return DefDlgProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = static_cast<Dialog*>(WindowOwner(window, message, lParam));
    if (dialog == nullptr) return DefDlgProcA(window, message, wParam, lParam);
    dialog->window = window;
    LRESULT result = 0;
    RunGuarded([&] { result = HandleDialogMessage(*dialog, window, message, wParam, lParam); });
    return result;
}

void RegisterDialogClass(HINSTANCE instance) {
    // The window extra bytes are where the system's dialog manager keeps its state.
    RegisterWindowClass(ClassName, DialogProcedure, instance, DLGWINDOWEXTRA, true);
}

HWND CreateChild(HWND parent, const char* className, const char* text, DWORD style, int id,
                 const PixelBox& box, HFONT font) {
    HWND child = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, box.left, box.top,
                                 box.width, box.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

// Builds the window at its place, hidden; returns the button that has the focus first.
HWND BuildDialog(Dialog& dialog, DialogKind kind, HFONT font, HWND active) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterDialogClass(instance);

    ScreenMeasure measure(font);
    const DialogUnits units = UnitsOf(measure);
    const RECT screen = ScreenOf(active);
    const SIZE text = measure.Extent(dialog.text, TextFlags, MessageWrapWidth(GetSystemMetrics(SM_CXSCREEN)));
    int widestCaption = 0;
    for (std::size_t i = 0; i < dialog.buttons.size(); ++i) {
        const SIZE size = measure.Extent(dialog.captions[i], DT_SINGLELINE);
        if (size.cx > widestCaption) widestCaption = size.cx;
    }
    const MessageLayout layout = LayOutMessage(units, text.cx, text.cy, widestCaption,
                                               static_cast<int>(dialog.buttons.size()), IconSize);

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT frame = {0, 0, layout.clientWidth, layout.clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = screen.left + (screen.right - screen.left - width) / 2;
    const int top = screen.top + (screen.bottom - screen.top - height) / 2;
    HWND window = CreateWindowExA(exStyle, ClassName, dialog.title.c_str(), style, left, top, width, height,
                                  TheApplicationWindow(), nullptr, instance, &dialog);
    if (window == nullptr) return nullptr;

    HMENU menu = GetSystemMenu(window, FALSE);
    static constexpr UINT items[] = {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_TASKLIST};
    for (UINT item : items) DeleteMenu(menu, item, MF_BYCOMMAND);

    HWND icon = CreateChild(window, "STATIC", "", SS_ICON, IconId, layout.icon, font);
    const LPCSTR iconName = kind == DialogKind::Error ? IDI_HAND : IDI_ASTERISK;
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadSharedIcon(nullptr, iconName)), 0);
    CreateChild(window, "STATIC", dialog.text.c_str(), SS_LEFT | SS_NOPREFIX, TextId, layout.text, font);

    HWND first = nullptr;
    for (std::size_t i = 0; i < dialog.buttons.size(); ++i) {
        const DWORD buttonStyle = WS_TABSTOP | (i == 0 ? WS_GROUP | BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND button = CreateChild(window, "BUTTON", dialog.captions[i].c_str(), buttonStyle, dialog.buttons[i].answer,
                                  layout.buttons[i], font);
        if (i == 0) first = button;
    }
    SendMessageA(window, DM_SETDEFID, dialog.buttons.front().answer, 0);
    return first;
}

bool IsCopyKey(const MSG& message, HWND window) {
    return message.message == WM_KEYDOWN && message.wParam == 'C' && (GetKeyState(VK_CONTROL) & 0x8000) != 0 &&
           (message.hwnd == window || IsChild(window, message.hwnd));
}

// The nested loop: it serves every window of the thread until the dialog is done.
void RunModalLoop(Dialog& dialog) {
    MSG message;  // read only once GetMessageA has filled it
    while (!dialog.done) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // The program is ending: the dialog closes, and the main loop must see the request too.
            dialog.answer = AnswerCancel;
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got == -1) return;
        if (IsCopyKey(message, dialog.window)) {
            dialog.CopyToClipboard();
            MessageBeep(0);
            continue;
        }
        if (IsDialogMessageA(dialog.window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

DialogAnswer ShowMessageDialog(const std::string& text, DialogKind kind, DialogButtons buttons) {
    GdiObject messageFont(CreateMessageFont());
    const HFONT font =
        messageFont.Get() != nullptr ? messageFont.Font() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    Dialog dialog(text, kind == DialogKind::Error ? IDS_TITLE_ERROR : IDS_TITLE_INFORMATION);
    if (buttons == DialogButtons::YesNo) {
        dialog.buttons = YesNoButtons;
        dialog.cancelAnswer = AnswerNo;
    } else {
        dialog.buttons = OkButton;
        dialog.cancelAnswer = AnswerOk;
    }
    for (std::size_t i = 0; i < dialog.buttons.size(); ++i) dialog.captions[i] = ResourceText(dialog.buttons[i].captionId);

    // Declared after the dialog, so that on every way out the program's windows are enabled again and the
    // main window is active before the dialog goes: otherwise the system activates another program.
    ModalState modal;
    HWND first = BuildDialog(dialog, kind, font, modal.ActiveBefore());
    if (first == nullptr) return AnswerCancel;
    ShowWindow(dialog.window, SW_SHOWNORMAL);
    SendMessageA(dialog.window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    RunModalLoop(dialog);
    return dialog.answer;  // the program's windows come back, then the dialog goes: see above
}

}  // namespace orv
