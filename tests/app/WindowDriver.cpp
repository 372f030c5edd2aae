#include "WindowDriver.h"

namespace orv::test {

namespace {

WindowDriver* running = nullptr;
constexpr int GiveUpTicks = 200;

std::string TextOf(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct Finder {
    const std::string* className;
    HWND found = nullptr;
};

BOOL CALLBACK FindByClass(HWND window, LPARAM param) {
    auto* finder = reinterpret_cast<Finder*>(param);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (*finder->className == name && IsWindowVisible(window)) {
        finder->found = window;
        return FALSE;
    }
    return TRUE;
}

// Keyboard input goes to the control with the focus, as the system routes a real key.
HWND KeyTarget(HWND window) {
    HWND focus = GetFocus();
    return focus != nullptr && (focus == window || IsChild(window, focus)) ? focus : window;
}

HWND ChildWithText(HWND parent, const char* text) {
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (TextOf(child) == text) return child;
    }
    return nullptr;
}

}  // namespace

WindowDriver::WindowDriver(const char* className, std::vector<Step> steps, HWND other)
    : className_(className), steps_(std::move(steps)), other_(other) {
    running = this;
    timer_ = SetTimer(nullptr, 0, 40, Tick);
}

WindowDriver::~WindowDriver() {
    KillTimer(nullptr, timer_);
    running = nullptr;
}

void CALLBACK WindowDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (running != nullptr) running->OnTick();
}

void WindowDriver::OnTick() {
    Finder finder{&className_};
    EnumThreadWindows(GetCurrentThreadId(), FindByClass, reinterpret_cast<LPARAM>(&finder));
    HWND window = finder.found;
    if (window == nullptr) return;
    if (++ticks_ > GiveUpTicks) {  // a step that did not end the window: end it so the test can fail
        PostMessageA(window, WM_CLOSE, 0, 0);
        return;
    }
    if (!found_) {
        found_ = true;
        seen_.title = TextOf(window);
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            char name[32] = {};
            GetClassNameA(child, name, sizeof name);
            if (lstrcmpiA(name, "Button") == 0) seen_.buttons.push_back(TextOf(child));
            else if (lstrcmpiA(name, "Static") == 0 && GetWindowTextLengthA(child) > 0) seen_.text = TextOf(child);
        }
        seen_.focus = TextOf(GetFocus());
        GetWindowRect(window, &seen_.bounds);
        if (other_ != nullptr) seen_.otherWindowEnabled = IsWindowEnabled(other_) != FALSE;
    }
    if (next_ < steps_.size()) steps_[next_++](window);
}

Step Key(UINT virtualKey) {
    return [virtualKey](HWND window) { PostMessageA(KeyTarget(window), WM_KEYDOWN, virtualKey, 0); };
}

Step Char(char c) {
    return [c](HWND window) { PostMessageA(KeyTarget(window), WM_CHAR, static_cast<unsigned char>(c), 0); };
}

Step AltChar(char c) {
    return [c](HWND window) { PostMessageA(KeyTarget(window), WM_SYSCHAR, static_cast<unsigned char>(c), 1 << 29); };
}

Step CloseBox() {
    return [](HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); };
}

Step Click(const char* caption) {
    return [caption](HWND window) {
        if (HWND button = ChildWithText(window, caption)) PostMessageA(button, BM_CLICK, 0, 0);
    };
}

namespace {
void SetControlKey(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}
}  // namespace

// The thread's key state says Ctrl is down while the C is handled; the next step lets it go.
Step CtrlC() {
    return [](HWND window) {
        SetControlKey(true);
        PostMessageA(KeyTarget(window), WM_KEYDOWN, 'C', 0);
    };
}

Step ReleaseCtrl() {
    return [](HWND) { SetControlKey(false); };
}

Step Command(int id) {
    return [id](HWND window) { PostMessageA(window, WM_COMMAND, id, 0); };
}

}  // namespace orv::test
