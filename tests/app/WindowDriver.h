#pragma once
// Plays a user at a modal window: a thread timer fires inside the window's own message loop, finds the
// window of the given class on this thread, notes what it shows, and performs one step per tick.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace orv::test {

struct SeenWindow {
    std::string title;
    std::string text;                  // the message (the non-empty STATIC child)
    std::vector<std::string> buttons;  // captions, in creation order
    std::string focus;                 // the caption of the control with the focus
    RECT bounds = {};
    bool otherWindowEnabled = true;    // the window passed as "other" while the modal one was up
};

using Step = std::function<void(HWND window)>;

class WindowDriver {
public:
    WindowDriver(const char* className, std::vector<Step> steps, HWND other = nullptr);
    ~WindowDriver();
    const SeenWindow& Seen() const { return seen_; }
    bool Found() const { return found_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    std::string className_;
    std::vector<Step> steps_;
    HWND other_;
    std::size_t next_ = 0;
    int ticks_ = 0;
    bool found_ = false;
    SeenWindow seen_;
    UINT_PTR timer_ = 0;
};

// Steps.
Step Key(UINT virtualKey);             // WM_KEYDOWN, as the dialog manager sees a key
Step Char(char c);                     // a letter typed alone
Step AltChar(char c);                  // a letter typed with Alt
Step CloseBox();                       // the title bar's close box
Step Click(const char* caption);       // a click on the button with that caption
Step CtrlC();                          // Ctrl+C, with Ctrl held until ReleaseCtrl
Step ReleaseCtrl();
Step Command(int id);                  // WM_COMMAND, as the system message box's buttons send it

}  // namespace orv::test
