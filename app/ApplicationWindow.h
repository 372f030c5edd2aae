#pragma once
// The application's own top-level window: never seen itself, it carries the program's title, owns the
// main window and the dialogs, and holds the program's taskbar button.
#include <windows.h>

#include <string>

namespace orv {

// The title from the program file's name: SETUP.EXE gives Setup.
std::string ApplicationTitle();

class ApplicationWindow {
public:
    explicit ApplicationWindow(HINSTANCE instance);
    ~ApplicationWindow();
    ApplicationWindow(const ApplicationWindow&) = delete;
    ApplicationWindow& operator=(const ApplicationWindow&) = delete;

    HWND Handle() const { return window_; }
    // Closing from the taskbar closes this window; activating it activates this one.
    void SetMainWindow(HWND mainWindow) { main_ = mainWindow; }
    // Shows the window without size, so that only its taskbar button appears.
    void ShowTaskbarButton();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HWND main_ = nullptr;
};

// The one application window of the program, for the error display and the dialogs (null before it exists).
HWND TheApplicationWindow();

}  // namespace orv
