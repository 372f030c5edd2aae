#include "ModalState.h"

namespace orv {

ModalState::ModalState(HWND spared) : spared_(spared), active_(GetActiveWindow()), focus_(GetFocus()) {
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this));
    for (HWND window : disabled_) EnableWindow(window, FALSE);
}

BOOL CALLBACK ModalState::Collect(HWND window, LPARAM self) {
    auto* state = reinterpret_cast<ModalState*>(self);
    if (window != state->spared_ && IsWindowVisible(window) && IsWindowEnabled(window))
        state->disabled_.push_back(window);
    return TRUE;
}

void ModalState::Restore() {
    if (restored_) return;
    restored_ = true;
    for (HWND window : disabled_) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    if (active_ != nullptr && IsWindow(active_)) SetActiveWindow(active_);
    if (focus_ != nullptr && IsWindow(focus_) && IsWindowVisible(focus_) && IsWindowEnabled(focus_)) SetFocus(focus_);
}

}  // namespace orv
