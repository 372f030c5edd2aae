#pragma once
// The program's own modal message dialog: an icon, the text and a row of buttons, in the system's
// message-box font, centred on the monitor of the window that was active.
#include <string>

#include "UserDialogs.h"

namespace orv {

// Waits in its own message loop until the dialog is closed and returns how: the button's number, or
// AnswerCancel for the close box and Alt+F4.
DialogAnswer ShowMessageDialog(const std::string& text, DialogKind kind, DialogButtons buttons);

}  // namespace orv
