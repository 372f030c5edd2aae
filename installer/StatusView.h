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

protected:
    ~StatusView() = default;
};

}  // namespace orv
