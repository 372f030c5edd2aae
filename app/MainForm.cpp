#include "MainForm.h"

#include "ErrorDisplay.h"
#include "Exceptions.h"
#include "MessageDialog.h"
#include "Procedures.h"
#include "WinHelpers.h"

namespace orv {

namespace {

int ControlOf(Panel panel) {
    switch (panel) {
    case Panel::NoChemStation: return ctl::PanelNoChemStation;
    case Panel::MSChemStation: return ctl::PanelMSChemStation;
    case Panel::NotInstalled: return ctl::PanelNotInstalled;
    case Panel::SomeInstalled: return ctl::PanelSomeInstalled;
    case Panel::AllInstalled: return ctl::PanelAllInstalled;
    default: return ctl::PanelVersion;
    }
}

int ControlOf(Button button) {
    switch (button) {
    case Button::Install: return ctl::ButtonInstall;
    case Button::Remove: return ctl::ButtonRemove;
    default: return ctl::ButtonEditUserMac;
    }
}

}  // namespace

MainForm::MainForm(HINSTANCE instance, ApplicationWindow& application) {
    CreateWindowAndControls(instance, application.Handle());
    application.SetMainWindow(window_);
    LoadPayloadItems();
    RunGuarded([this] { FormCreate(); });
}

MainForm::~MainForm() {
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
}

void MainForm::Show() {
    RECT frame;
    GetWindowRect(window_, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
}

// ---- Status view: every change shows at once.

void MainForm::ShowPanel(Panel panel, bool visible) {
    ShowWindow(controls_[ControlOf(panel)], visible ? SW_SHOWNA : SW_HIDE);
}

void MainForm::EnableButton(Button button, bool enabled) { EnableWindow(controls_[ControlOf(button)], enabled); }

void MainForm::SetVersionText(const std::string& text) {
    SetOwnWindowText(labelVersion_, text.c_str());
    PlaceLabel(labelVersion_, PanelSecondLabel, false);
}

// ---- What the procedures ask of the user.

DialogAnswer MainForm::ShowMessageDialog(const std::string& text, DialogKind kind, DialogButtons buttons) {
    return orv::ShowMessageDialog(text, kind, buttons);
}

// The install's clean-up question runs the button's own handler, as a click would.
void MainForm::EditUserMac() { ButtonEditUserMacClick(); }

// ---- Messages.

LRESULT CALLBACK MainForm::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<MainForm*>(WindowOwner(window, message, lParam));
    if (self == nullptr) return DefDlgProcA(window, message, wParam, lParam);
    self->window_ = window;
    LRESULT result = 0;
    RunGuarded([&] { result = self->Handle(message, wParam, lParam); });
    return result;
}

LRESULT MainForm::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // A message box the window does not own (the shell's, say) lets clicks through to it.
        if (!busy_) Command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_QUERYENDSESSION:
        // A log-off in the middle of a procedure would cut a write short: it waits until the files are written.
        // A dialog that only reports (the closing message, the error display) does not hold it back.
        return changingFiles_ ? FALSE : TRUE;
    case WM_CTLCOLORSTATIC:
        return StaticColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
        if (SetLinkCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
        break;
    case WM_ACTIVATE: {
        const LRESULT result = DefDlgProcA(window_, message, wParam, lParam);
        if (LOWORD(wParam) != WA_INACTIVE && !activated_) FirstActivation();
        return result;
    }
    case WM_CLOSE:
        if (busy_) closeWaiting_ = true;
        else ButtonCloseClick();
        return 0;
    case WM_DESTROY:
        FormDestroy();
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefDlgProcA(window_, message, wParam, lParam);
}

void MainForm::Command(int id, int notification) {
    for (int link : {ctl::LabelMail, ctl::LabelWeb}) {
        if (id != FormDesign[link].id) continue;
        if (notification == STN_CLICKED) LinkClick(link);
        return;
    }
    if (id == FormDesign[ctl::ButtonClose].id) {  // also Escape
        ButtonCloseClick();
        return;
    }
    if (notification != BN_CLICKED) return;
    // A click can come in while the button is disabled (a message sent by another program): it does nothing.
    const auto enabledButton = [&](int index) {
        return id == FormDesign[index].id && IsWindowEnabled(controls_[index]);
    };
    if (enabledButton(ctl::ButtonInstall)) ProcedureClick(true);
    else if (enabledButton(ctl::ButtonRemove)) ProcedureClick(false);
    else if (enabledButton(ctl::ButtonEditUserMac)) ButtonEditUserMacClick();
}

LRESULT MainForm::StaticColours(HDC dc, HWND control) {
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    if (control == controls_[ctl::LabelMail] || control == controls_[ctl::LabelWeb]) {
        // The hot-light colour came with Windows 98 and 2000; before that a link is plain blue.
        const bool hasHotLight = GetSysColorBrush(COLOR_HOTLIGHT) != nullptr;
        SetTextColor(dc, hasHotLight ? GetSysColor(COLOR_HOTLIGHT) : RGB(0, 0, 255));
    } else {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    }
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

bool MainForm::SetLinkCursor(HWND control) {
    if (control != controls_[ctl::LabelMail] && control != controls_[ctl::LabelWeb]) return false;
    SetCursor(handCursor_);
    return true;
}

// The focus starts on the first button that can be used, so that Enter does the expected thing.
void MainForm::FirstActivation() {
    activated_ = true;
    for (int index : {ctl::ButtonInstall, ctl::ButtonRemove, ctl::ButtonClose}) {
        if (IsWindowEnabled(controls_[index])) {
            FocusControl(controls_[index]);
            return;
        }
    }
}

void MainForm::FocusControl(HWND control) {
    SendMessageA(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

// ---- Handlers.

std::string MainForm::Root() const { return host_ ? host_->root : std::string(); }

void MainForm::RunAlone(void (*call)(void*), void* handler) {
    if (busy_) return;
    busy_ = true;
    struct Done {
        MainForm& form;
        ~Done() {
            form.busy_ = false;
            // Posted, so that the close comes after whatever the handler's caller still does.
            if (form.closeWaiting_) PostMessageA(form.window_, WM_CLOSE, 0, 0);
            form.closeWaiting_ = false;
        }
    } done{*this};
    // Shown while the handler still counts as running: a close that came meanwhile waits for the answer
    // instead of being dispatched by the error display's own message loop.
    try {
        call(handler);
    } catch (...) {
        ReportCurrentError();
    }
}

void MainForm::LoadPayloadItems() {
    try {
        LoadPayload(platform_).swap(payload_);  // the smaller code: the empty list goes with the temporary
    } catch (const Exception& error) {
        payloadError_ = error.Message();
        ReportUncaughtError(payloadError_);
    }
}

void MainForm::FormCreate() {
    host_.emplace(LocateHost(platform_));
    SetOwnWindowText(controls_[ctl::LabelDirectory], host_->root.c_str());
    PlaceLabel(controls_[ctl::LabelDirectory], FormDesign[ctl::LabelDirectory].box, false);
    ShowPanel(Panel::Version, false);
    RefreshStatus(platform_, host_->root, *this);
}

void MainForm::FormDestroy() { host_.reset(); }

// The procedures work on a copy of the host's location: nothing they hold can go with the window.
void MainForm::ProcedureClick(bool install) {
    RunAlone([this, install] {
        if (install && !payloadError_.empty()) throw EPayloadError(payloadError_);
        if (!host_) return;
        const HostLocation host{host_->root, ProfileFile(platform_, host_->profile.FileName())};
        const bool ran = install ? InstallAddon(platform_, host, payload_, *this, *this)
                                 : RemoveAddon(platform_, host, *this, *this);
        // Refused at once (the host is running): the focus stays where the user left it.
        if (ran) FocusControl(controls_[ctl::ButtonClose]);
    });
}

void MainForm::ButtonCloseClick() { DestroyWindow(window_); }

// Also the install's clean-up question, which runs inside the install and so is already alone.
void MainForm::ButtonEditUserMacClick() {
    if (busy_) {
        orv::EditUserMac(platform_, Root());
        return;
    }
    RunAlone([this] { orv::EditUserMac(platform_, Root()); });
}

void MainForm::LinkClick(int control) {
    RunAlone([this, control] {
        const std::string caption = WindowText(controls_[control]);
        platform_.ShellOpen(control == ctl::LabelMail ? MailTarget(caption) : WebTarget(caption), "", "");
    });
}

}  // namespace orv
