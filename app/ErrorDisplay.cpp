#include "ErrorDisplay.h"

#include <windows.h>

#include "AppText.h"
#include "ApplicationWindow.h"
#include "Exceptions.h"
#include "Messages.h"
#include "ModalState.h"
#include "Resource.h"
#include "WinHelpers.h"

namespace orv {

void ReportUncaughtError(const std::string& message) {
    HWND owner = TheApplicationWindow();
    char title[256];
    title[0] = '\0';  // WM_GETTEXT ends what it copies with a NUL
    if (owner != nullptr) SendMessageA(owner, WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title));
    // The box disables its owner itself; every other window of the program is disabled here.
    ModalState modal(owner);
    MessageBoxA(owner, WithFullStop(message).c_str(), title, MB_OK | MB_ICONSTOP);
}

void ReportCurrentError() noexcept {
    try {
        try {
            throw;
        } catch (const Exception& error) {
            ReportUncaughtError(error.Message());
        } catch (const std::exception& error) {
            ReportUncaughtError(error.what());
        } catch (...) {
            ReportUncaughtError(ResourceText(IDS_UNKNOWN_ERROR));
        }
    } catch (...) {
        // Nothing is left to show an error with (no memory): the handler has ended all the same.
    }
}

}  // namespace orv
