// orvauto: drives the installer's windows for the end-to-end tests. It runs in the same Wine prefix as the
// program under test, finds its windows by caption, reads their controls and presses buttons and keys.
// Output is plain tab-separated lines; the exit code says whether the step worked.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "KeyPress.h"
#include "WindowQuery.h"

using namespace orvauto;

namespace {

const char* const Usage =
    "usage: orvauto wait TITLE [MS]        until a visible window has that caption\n"
    "       orvauto gone TITLE [MS]        until no window, visible or not, has that caption\n"
    "       orvauto list TITLE             every control, the panels, the top panel, the buttons\n"
    "       orvauto click TITLE BUTTON     press a button (fails when the user could not press it)\n"
    "       orvauto key TITLE KEY          Enter, Escape, Tab, Space, arrows, a letter, alt+letter\n"
    "       orvauto dialog [MS]            wait for a dialog or message box; its title, texts, buttons\n"
    "       orvauto settled [MS]           until the main window is enabled and its thread idle: no\n"
    "                                      procedure runs, so no further dialog can come of one\n"
    "       orvauto answer TITLE BUTTON    press a dialog's button and wait until the dialog is gone\n"
    "       orvauto answer-key TITLE KEY   press a key in a dialog and wait until the dialog is gone\n"
    "       orvauto answer-close TITLE     close a dialog from its window menu and wait until it is gone\n"
    "       orvauto focus TITLE            the control that has the keyboard focus\n"
    "       orvauto close TITLE            Close from the window menu (as the close box)\n"
    "       orvauto wm-close TITLE         post WM_CLOSE to the window, as the system or another program may\n"
    "       orvauto end-session TITLE      send WM_QUERYENDSESSION, as a log-off does: allowed or refused\n"
    "       orvauto rect TITLE             the window's screen rectangle: left top width height\n"
    "       orvauto redraw TITLE           once TITLE shows, every visible window paints again (for screenshots)\n"
    "       orvauto windows                every visible top-level window\n"
    "       orvauto message CODE           the system's text for an error code, as FormatMessageA gives it\n";

// The main window has buttons too: a dialog is any other window that has them.
const char* const MainCaption = "Orvandel Chemstation Addon";

enum Exit { Done = 0, NotFound = 1, NotUsable = 2, BadUsage = 3 };

void Line(const std::string& text) {
    fputs(text.c_str(), stdout);
    fputc('\n', stdout);
}

std::string Flag(bool value) { return value ? "1" : "0"; }

DWORD Milliseconds(int argc, char** argv, int index, DWORD fallback) {
    return argc > index ? static_cast<DWORD>(strtoul(argv[index], nullptr, 10)) : fallback;
}

// Polls until `ready` holds or the time is up.
template <typename Ready>
bool Within(DWORD ms, Ready ready) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (ready()) return true;
        if (GetTickCount() - start >= ms) return false;
        Sleep(25);
    }
}

int Fail(int code, const std::string& why) {
    fputs(("orvauto: " + why + "\n").c_str(), stderr);
    return code;
}

HWND Top(const std::string& title) { return FindTopLevel(title); }

std::string Joined(const std::vector<std::string>& texts) {
    std::string out;
    for (size_t i = 0; i < texts.size(); ++i) out += (i ? "|" : "") + Escaped(texts[i]);
    return out;
}

int List(HWND top) {
    Line("window\t" + TextOf(top) + "\t" + ClassOf(top) + "\t" + Flag(IsWindowEnabled(top)));
    std::vector<Control> controls = Descendants(top);
    for (const Control& c : controls)
        Line("control\t" + std::to_string(c.depth) + "\t" + std::to_string(c.z) + "\t" + ClassOf(c.window) + "\t" +
             Flag(IsWindowVisible(c.window)) + "\t" + Flag(IsWindowEnabled(c.window)) + "\t" +
             Escaped(TextOf(c.window)));
    // A panel is a child of the window that holds controls of its own; the one seen is the visible
    // panel highest in z-order.
    std::string seen = "-";
    int seenZ = 1 << 30;
    for (const Control& c : controls) {
        if (c.depth != 1 || !GetWindow(c.window, GW_CHILD)) continue;
        const std::string labels = Joined(StaticTexts(c.window, false));
        const bool visible = IsWindowVisible(c.window);
        Line("panel\t" + std::to_string(c.z) + "\t" + Flag(visible) + "\t" + labels);
        if (visible && c.z < seenZ) {
            seenZ = c.z;
            seen = labels;
        }
    }
    Line("top\t" + seen);
    for (const Control& c : controls)
        if (IsButton(c.window))
            Line("button\t" + TextOf(c.window) + "\t" + (Usable(c.window) ? "on" : "off"));
    return Done;
}

bool IsDialog(HWND window) {
    if (TextOf(window) == MainCaption) return false;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsButton(child)) return true;
    return false;
}

int Dialog(DWORD ms) {
    HWND dialog = nullptr;
    const bool found = Within(ms, [&] {
        for (HWND window : VisibleTopLevels())
            if (IsDialog(window) && IsWindowEnabled(window)) {
                dialog = window;
                return true;
            }
        return false;
    });
    if (!found) return Fail(NotFound, "no dialog within " + std::to_string(ms) + " ms");
    // A dialog is seen before it has given the focus to its default button, and it holds the focus itself for a
    // moment on the way there (a dialog of a process started behind another window longest); give it time to
    // reach a control.
    Within(2000, [&] {
        HWND focus = FocusOf(dialog);
        return focus && IsChild(dialog, focus);
    });
    Line("title\t" + TextOf(dialog));
    Line("class\t" + ClassOf(dialog));
    for (const std::string& text : StaticTexts(dialog, true)) Line("text\t" + Escaped(text));
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsButton(child)) Line("button\t" + TextOf(child));
    HWND focus = FocusOf(dialog);
    Line("focus\t" + (focus ? TextOf(focus) : std::string("-")));
    return Done;
}

int Press(HWND top, const std::string& caption) {
    HWND button = FindButton(top, caption);
    if (!button) return Fail(NotFound, "no button \"" + caption + "\" in \"" + TextOf(top) + "\"");
    // Wine hands BM_CLICK even to a disabled button, which no user could press.
    if (!Usable(button)) return Fail(NotUsable, "button \"" + caption + "\" is disabled or hidden");
    // Posted, not sent: the click may open a modal dialog, which would block a sent message.
    PostMessageA(button, BM_CLICK, 0, 0);
    Line("pressed\t" + caption);
    return Done;
}

int PressKey(HWND top, const std::string& name) {
    orvauto::Key key;
    if (!ParseKey(name, key)) return Fail(BadUsage, "unknown key " + name);
    if (!IsWindowEnabled(top)) return Fail(NotUsable, "\"" + TextOf(top) + "\" is disabled");
    // Keys go to the focused control; with no focus, to the window itself.
    HWND focus = FocusOf(top);
    HWND target = focus && (focus == top || IsChild(top, focus)) ? focus : top;
    PostKey(target, key);
    // The key is posted (key down, key up and the character it makes): the program takes one posted message a
    // turn of its message loop, and a sent message at the start of each turn. So the key has been handled once
    // a few sent messages have come back, and what is read next (the focus, say) is read after it.
    for (int turn = 0; turn < 4; ++turn) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result)) break;
    }
    Line("key\t" + name + "\t" + Escaped(TextOf(target)));
    return Done;
}

int Run(int argc, char** argv) {
    if (argc < 2) return Fail(BadUsage, Usage);
    const std::string command = argv[1];
    const std::string title = argc > 2 ? argv[2] : "";
    const auto need = [&](int count) { return argc >= count + 2; };

    if (command == "windows") {
        for (HWND window : VisibleTopLevels())
            Line("window\t" + TextOf(window) + "\t" + ClassOf(window) + "\t" + Flag(IsWindowEnabled(window)));
        return Done;
    }
    if (command == "dialog") return Dialog(Milliseconds(argc, argv, 2, 10000));
    if (command == "settled") {
        // A procedure runs on the window's only thread: while it works, sent messages wait; while one of its
        // dialogs is up, the main window is disabled. Enabled and answering means no procedure is under way.
        // Four times in a row, 25 ms apart: a dialog that has just closed enables the window before the
        // procedure's last steps (the focus it sets), and a system call on the way may answer a sent message.
        const DWORD ms = Milliseconds(argc, argv, 2, 10000);
        int streak = 0;
        const bool settled = Within(ms, [&streak] {
            HWND main = Top(MainCaption);
            DWORD_PTR result = 0;
            const bool idle =
                main && IsWindowEnabled(main) &&
                SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 250, &result) != 0 &&
                IsWindowEnabled(main);
            streak = idle ? streak + 1 : 0;
            return streak >= 4;
        });
        if (!settled) return Fail(NotFound, "the main window did not settle within " + std::to_string(ms) + " ms");
        Line("settled");
        return Done;
    }
    if (command == "message" && need(1)) {
        char text[1024] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(strtoul(argv[2], nullptr, 10)), 0, text, sizeof text, nullptr);
        Line("message\t" + Escaped(text));
        return Done;
    }
    if (!need(1)) return Fail(BadUsage, Usage);

    if (command == "wait") {
        const DWORD ms = Milliseconds(argc, argv, 3, 10000);
        if (!Within(ms, [&] { return Top(title) != nullptr; }))
            return Fail(NotFound, "no window \"" + title + "\" within " + std::to_string(ms) + " ms");
        Line("found\t" + title);
        return Done;
    }
    if (command == "gone") {
        const DWORD ms = Milliseconds(argc, argv, 3, 10000);
        if (!Within(ms, [&] { return !AnyTopLevel(title); }))
            return Fail(NotFound, "window \"" + title + "\" still there after " + std::to_string(ms) + " ms");
        Line("gone\t" + title);
        return Done;
    }
    if (command == "answer" || command == "answer-key" || command == "answer-close") {
        const bool byKey = command == "answer-key", byClose = command == "answer-close";
        if (!need(byClose ? 1 : 2)) return Fail(BadUsage, Usage);
        HWND dialog = byKey || byClose ? Top(title) : FindTopLevel(title, argv[3]);
        if (!dialog) return Fail(NotFound, "no window \"" + title + "\" to answer");
        int result = Done;
        if (byClose) PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        else result = byKey ? PressKey(dialog, argv[3]) : Press(dialog, argv[3]);
        if (result != Done) return result;
        // The handle, not the title: the next dialog may well have the same title.
        if (!Within(5000, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }))
            return Fail(NotFound, "\"" + title + "\" stayed open");
        return Done;
    }

    HWND top = Top(title);
    if (!top) return Fail(NotFound, "no visible window \"" + title + "\"");
    if (command == "list") return List(top);
    if (command == "click" && need(2)) return Press(top, argv[3]);
    if (command == "key" && need(2)) return PressKey(top, argv[3]);
    if (command == "focus") {
        // A window that has just shown gives the focus away when it is first activated.
        HWND focus = nullptr;
        Within(2000, [&] { return (focus = FocusOf(top)) != nullptr; });
        Line("focus\t" + (focus ? ClassOf(focus) + "\t" + Escaped(TextOf(focus)) : std::string("-\t-")));
        return Done;
    }
    if (command == "wm-close") {
        PostMessageA(top, WM_CLOSE, 0, 0);
        Line("posted\t" + title);
        return Done;
    }
    if (command == "end-session") {
        DWORD_PTR allowed = 0;
        if (!SendMessageTimeoutA(top, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &allowed))
            return Fail(NotFound, "\"" + title + "\" did not answer");
        Line(std::string("end-session\t") + (allowed ? "allowed" : "refused"));
        return Done;
    }
    if (command == "close") {
        PostMessageA(top, WM_SYSCOMMAND, SC_CLOSE, 0);
        Line("closed\t" + title);
        return Done;
    }
    if (command == "redraw") {
        // Under Xvfb with no window manager a window can be mapped before its first paint reaches the
        // screen, and a screenshot then shows what lay there before.
        for (HWND window : VisibleTopLevels())
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        Line("redrawn");
        return Done;
    }
    if (command == "rect") {
        RECT r;
        GetWindowRect(top, &r);
        Line(std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + " " +
             std::to_string(r.bottom - r.top));
        return Done;
    }
    return Fail(BadUsage, Usage);
}

}  // namespace

int main(int argc, char** argv) {
    int code = Run(argc, argv);
    fflush(stdout);
    return code;
}
