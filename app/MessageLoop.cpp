#include "MessageLoop.h"

#include "ErrorDisplay.h"

namespace orv {

int RunMessageLoop(HWND mainWindow) {
    MSG message = {};
    bool running = true;
    while (running) {
        RunGuarded([&] {
            const BOOL got = GetMessageA(&message, nullptr, 0, 0);
            if (got == 0 || got == -1) {
                running = false;
                return;
            }
            if (IsWindow(mainWindow) && IsDialogMessageA(mainWindow, &message)) return;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        });
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 1;
}

}  // namespace orv
