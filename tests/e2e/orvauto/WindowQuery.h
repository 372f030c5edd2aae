#pragma once
// Reading another program's windows from inside the same Wine prefix: top-level windows by caption,
// their controls in z-order, texts and states.
#include <windows.h>

#include <string>
#include <vector>

namespace orvauto {

std::string TextOf(HWND window);
std::string ClassOf(HWND window);
bool IsButton(HWND window);
bool IsStatic(HWND window);

// Backslashes doubled, newlines, carriage returns and tabs spelled out (\n, \r, \t), so that every record
// stays on one output line and reads back unambiguously.
std::string Escaped(const std::string& text);

// A visible top-level window of another process whose caption is exactly `title` and which, when
// `button` is not empty, holds a button captioned `button`. Null when there is none. Without `button`, a
// window with buttons comes first: the program's hidden-looking application window shares its title with
// the error display.
HWND FindTopLevel(const std::string& title, const std::string& button = "");
// Whether any top-level window of another process, visible or not, has that caption.
bool AnyTopLevel(const std::string& title);
// Visible top-level windows of other processes, in z-order.
std::vector<HWND> VisibleTopLevels();

struct Control {
    HWND window;
    int depth;  // 1 for a child of the top-level window
    int z;      // position among its siblings, 0 on top
};
// Every descendant, depth first, each parent before its children, siblings from top to bottom.
std::vector<Control> Descendants(HWND top);

HWND FindButton(HWND top, const std::string& caption);
// Whether the user could press it: it, and every window up to the top-level one, is visible and enabled.
bool Usable(HWND control);

// The texts of a window's static children, ordered as read on screen (top to bottom, left to right).
std::vector<std::string> StaticTexts(HWND parent, bool skipEmpty);

// The control that has the keyboard focus in the thread of `top`, null when none.
HWND FocusOf(HWND top);

}  // namespace orvauto
