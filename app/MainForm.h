#pragma once
// The main window Form1: version header, credit and contact line, the stacked status panels and four
// buttons. It owns the host's profile and the payload items for its whole life, shows what the status
// evaluation decides, and runs the procedures from its click handlers.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ApplicationWindow.h"
#include "FormLayout.h"
#include "HostLocation.h"
#include "PayloadItem.h"
#include "StatusView.h"
#include "UserDialogs.h"
#include "WinHelpers.h"
#include "WindowsPlatform.h"

namespace orv {

class MainForm final : public StatusView, public UserDialogs {
public:
    // Creates the window and its controls, loads the payload and runs FormCreate; the window stays hidden.
    MainForm(HINSTANCE instance, ApplicationWindow& application);
    ~MainForm();
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    HWND Handle() const { return window_; }
    // Centres the window on the screen and shows it with the taskbar button.
    void Show();

    // StatusView
    void ShowPanel(Panel panel, bool visible) override;
    void EnableButton(Button button, bool enabled) override;
    void SetVersionText(const std::string& text) override;
    void ChangingFiles(bool changing) override { changingFiles_ = changing; }

    // UserDialogs
    DialogAnswer ShowMessageDialog(const std::string& text, DialogKind kind, DialogButtons buttons) override;
    void EditUserMac() override;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Command(int id, int notification);
    LRESULT StaticColours(HDC dc, HWND control);
    bool SetLinkCursor(HWND control);
    void FirstActivation();

    // Building (FormControls.cpp).
    void CreateWindowAndControls(HINSTANCE instance, HWND owner);
    HWND CreateLabel(HWND parent, const char* text, int id, const PixelBox& design, TextLook look,
                     bool rightAligned, bool visible);
    void PlaceLabel(HWND label, const PixelBox& design, bool rightAligned);
    HFONT FontFor(TextLook look) const;

    // Handlers.
    void LoadPayloadItems();
    void FormCreate();
    void FormDestroy();
    // Install or Remove.
    void ProcedureClick(bool install);
    void ButtonCloseClick();
    void ButtonEditUserMacClick();
    // The mail or the web label: the shell opens what its caption names.
    void LinkClick(int control);
    void FocusControl(HWND control);
    std::string Root() const;
    // Runs a click handler as the only one: while it runs (and the dialogs it shows spin their own message
    // loops), the window takes no other command and a close request waits until it has ended, including the
    // error display of an error that ended it.
    template <typename Handler>
    void RunAlone(Handler handler) {
        RunAlone([](void* h) { (*static_cast<Handler*>(h))(); }, &handler);
    }
    // The same for every handler, written once: the handler comes as a function and what it works on.
    void RunAlone(void (*call)(void*), void* handler);

    WindowsPlatform platform_;
    std::optional<HostLocation> host_;
    std::vector<PayloadItem> payload_;
    std::string payloadError_;  // set when a payload record is damaged: installing then says so again

    int dpi_ = 96;
    GdiObject plainFont_, boldFont_, linkFont_;
    HWND window_ = nullptr;
    HWND controls_[ctl::Count] = {};
    HWND labelVersion_ = nullptr;
    HCURSOR handCursor_ = nullptr;
    bool activated_ = false;
    bool busy_ = false;          // a click handler is under way
    bool closeWaiting_ = false;  // a close request came in meanwhile
    bool changingFiles_ = false; // a procedure is changing files
};

}  // namespace orv
