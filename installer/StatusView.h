#pragma once
// What the status evaluation changes on the window. Each change takes effect at once, so the changes made
// before a failure stay made; a control that is not named keeps its state.
#include <string>

namespace orv {

enum class Panel { NoChemStation, MSChemStation, NotInstalled, SomeInstalled, AllInstalled, Version };
enum class Button { Install, Remove, EditUserMac };

class StatusView {
public:
    virtual void ShowPanel(Panel panel, bool visible) = 0;
    virtual void EnableButton(Button button, bool enabled) = 0;
    virtual void SetVersionText(const std::string& text) = 0;
    // Whether a procedure is changing files now; a window holds a log-off back only while it is.
    virtual void ChangingFiles(bool /*changing*/) {}

protected:
    ~StatusView() = default;
};

// Tells the view that files are being changed, until End or until it goes (an error that ends the work too).
class FilesChanging {
public:
    explicit FilesChanging(StatusView& view) : view_(&view) { view_->ChangingFiles(true); }
    ~FilesChanging() { End(); }
    FilesChanging(const FilesChanging&) = delete;
    FilesChanging& operator=(const FilesChanging&) = delete;
    void End() {
        if (view_ != nullptr) view_->ChangingFiles(false);
        view_ = nullptr;
    }

private:
    StatusView* view_;
};

}  // namespace orv
