#include "UserDialogs.h"

namespace orv {

DialogAnswer UserDialogs::ShowMessageDialog(const char* text, DialogKind kind, DialogButtons buttons) {
    return ShowMessageDialog(std::string(text), kind, buttons);
}

}  // namespace orv
