#pragma once
// While a modal dialog or the error display is up, no other window of the program takes input. This
// remembers which windows it disabled, which one was active and which control had the focus, and puts all
// of that back.
#include <windows.h>

#include <vector>

namespace orv {

class ModalState {
public:
    // Every visible, enabled top-level window of this thread except `spared` is disabled.
    explicit ModalState(HWND spared = nullptr);
    ~ModalState() { Restore(); }
    ModalState(const ModalState&) = delete;
    ModalState& operator=(const ModalState&) = delete;

    HWND ActiveBefore() const { return active_; }
    // Enables the windows again and reactivates the one that was active; then the focus goes back.
    // Done before a dialog is destroyed, so that the system does not activate another program instead.
    void Restore();

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM self);

    HWND spared_;
    HWND active_;
    HWND focus_;
    std::vector<HWND> disabled_;
    bool restored_ = false;
};

}  // namespace orv
