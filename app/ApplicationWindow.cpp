#include "ApplicationWindow.h"

#include "AppText.h"
#include "ErrorDisplay.h"
#include "Resource.h"
#include "WinHelpers.h"

namespace orv {

namespace {

constexpr const char* ClassName = "TApplication";
// Posted to itself when it receives the focus: hand the activation on to the window the user works in.
constexpr UINT PassActivation = WM_APP + 1;

HWND applicationWindow = nullptr;

void LowerCaseSystem(char* text) { CharLowerA(text); }

}  // namespace

std::string ApplicationTitle() {
    char path[MAX_PATH + 1];  // ended below, whatever the call wrote
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    path[length < MAX_PATH ? length : MAX_PATH] = '\0';
    OemToCharA(path, path);
    return TitleFromModulePath(path, LowerCaseSystem);
}

HWND TheApplicationWindow() { return applicationWindow; }

ApplicationWindow::ApplicationWindow(HINSTANCE instance) {
    RegisterWindowClass(ClassName, Procedure, instance, 0, false,
                        LoadSharedIcon(instance, MAKEINTRESOURCEA(IDI_ORVANDEL)));
    // It sits in the middle of the screen without size, as a taskbar button and an owner only.
    CreateWindowExA(0, ClassName, ApplicationTitle().c_str(),
                    WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                    GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr,
                    instance, this);
    applicationWindow = window_;
    HMENU menu = GetSystemMenu(window_, FALSE);
    DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
}

ApplicationWindow::~ApplicationWindow() {
    applicationWindow = nullptr;
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
}

void ApplicationWindow::ShowTaskbarButton() { ShowWindow(window_, SW_SHOWNOACTIVATE); }

LRESULT CALLBACK ApplicationWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<ApplicationWindow*>(WindowOwner(window, message, lParam));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    self->window_ = window;
    LRESULT result = 0;
    RunGuarded([&] { result = self->Handle(message, wParam, lParam); });
    return result;
}

LRESULT ApplicationWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS:
        PostMessageA(window_, PassActivation, 0, 0);
        return 0;
    case PassActivation:
        if (GetFocus() == window_ && !(GetWindowLongA(window_, GWL_STYLE) & WS_MINIMIZE)) {  // not minimised
            HWND popup = GetLastActivePopup(window_);
            if (popup != window_ && IsWindowVisible(popup) && IsWindowEnabled(popup)) SetActiveWindow(popup);
        }
        return 0;
    case WM_CLOSE:
        // A modal dialog or the error display keeps the main window disabled: it is not closed under them.
        if (main_ != nullptr && IsWindowEnabled(main_)) PostMessageA(main_, WM_CLOSE, 0, 0);
        return 0;
    default:
        return DefWindowProcA(window_, message, wParam, lParam);
    }
}

}  // namespace orv
