#pragma once
// Text rules of the program's own windows, kept apart from Windows so they can be checked anywhere.
#include <span>
#include <string>

#include "StringCode.h"

namespace orv {


// Changes a NUL-terminated text to lower case in place (CharLowerA in the program).
using LowerCaseFunction = void (*)(char* text);
void LowerCaseAscii(char* text);

// The program's title from its module path: the file name after the last backslash, cut at its first
// full stop, every character after the first lowered. SETUP.EXE gives Setup, my.tool.exe gives my.
std::string TitleFromModulePath(const std::string& path, LowerCaseFunction lower);

// A button caption as the user reads it: "&Yes" is Yes, "&&" is a literal ampersand.
std::string WithoutAccessMarks(const std::string& caption);

// What Ctrl+C puts on the clipboard for a message dialog: title, text and captions between ruled lines,
// with CR LF line ends as plain-text readers expect.
std::string DialogClipboardText(const std::string& title, const std::string& text,
                                std::span<const std::string> captions);

}  // namespace orv
