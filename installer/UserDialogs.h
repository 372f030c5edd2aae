#pragma once
// How a procedure speaks to whoever runs it: the modal message dialog and the edit action for user.mac.
// The window answers through a person; a script can answer the same calls.
#include <string>

namespace orv {

enum class DialogKind { Error, Information };
enum class DialogButtons { Ok, YesNo };
// The numbers of the Windows dialog command identifiers.
enum DialogAnswer : int { AnswerOk = 1, AnswerCancel = 2, AnswerYes = 6, AnswerNo = 7 };

class UserDialogs {
public:
    // Shows the text (a line feed starts a new line) and waits until it is closed.
    virtual DialogAnswer ShowMessageDialog(const std::string& text, DialogKind kind, DialogButtons buttons) = 0;
    // The same for the program's fixed texts, whose std::string is made here rather than at each call.
    DialogAnswer ShowMessageDialog(const char* text, DialogKind kind, DialogButtons buttons);
    // The same as a click on "Edit user.mac": create the file empty when missing, hand it to the shell.
    virtual void EditUserMac() = 0;

protected:
    ~UserDialogs() = default;
};

}  // namespace orv
