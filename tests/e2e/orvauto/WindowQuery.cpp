#include "WindowQuery.h"

#include <algorithm>

namespace orvauto {

std::string TextOf(HWND window) {
    // For a window of another process GetWindowTextA reads the stored caption without sending it a
    // message, so a program stuck in a handler cannot hang the test.
    char buffer[4096];
    int length = GetWindowTextA(window, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? length : 0);
}

std::string ClassOf(HWND window) {
    char buffer[256];
    int length = GetClassNameA(window, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? length : 0);
}

bool IsButton(HWND window) { return lstrcmpiA(ClassOf(window).c_str(), "Button") == 0; }
bool IsStatic(HWND window) { return lstrcmpiA(ClassOf(window).c_str(), "Static") == 0; }

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return out;
}

namespace {

struct TopSearch {
    std::vector<HWND> found;
    bool visibleOnly;
};

BOOL CALLBACK CollectTop(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TopSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) return TRUE;
    if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
    search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevels(bool visibleOnly) {
    TopSearch search{{}, visibleOnly};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Walk(HWND parent, int depth, std::vector<Control>& out) {
    int z = 0;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++z) {
        out.push_back({child, depth, z});
        Walk(child, depth + 1, out);
    }
}

}  // namespace

std::vector<HWND> VisibleTopLevels() { return TopLevels(true); }

HWND FindTopLevel(const std::string& title, const std::string& button) {
    HWND withoutButtons = nullptr;
    for (HWND window : TopLevels(true)) {
        if (TextOf(window) != title) continue;
        if (!button.empty()) {
            if (FindButton(window, button)) return window;
            continue;
        }
        for (const Control& control : Descendants(window))
            if (IsButton(control.window)) return window;
        if (!withoutButtons) withoutButtons = window;
    }
    return withoutButtons;
}

bool AnyTopLevel(const std::string& title) {
    for (HWND window : TopLevels(false))
        if (TextOf(window) == title) return true;
    return false;
}

std::vector<Control> Descendants(HWND top) {
    std::vector<Control> out;
    Walk(top, 1, out);
    return out;
}

HWND FindButton(HWND top, const std::string& caption) {
    for (const Control& control : Descendants(top))
        if (IsButton(control.window) && TextOf(control.window) == caption) return control.window;
    return nullptr;
}

bool Usable(HWND control) {
    for (HWND window = control; window; window = GetAncestor(window, GA_PARENT)) {
        if (!IsWindowVisible(window) || !IsWindowEnabled(window)) return false;
        if (!(GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) break;
    }
    return true;
}

std::vector<std::string> StaticTexts(HWND parent, bool skipEmpty) {
    struct Placed {
        RECT rect;
        std::string text;
    };
    std::vector<Placed> labels;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsStatic(child)) continue;
        std::string text = TextOf(child);
        if (skipEmpty && text.empty()) continue;
        RECT rect;
        GetWindowRect(child, &rect);
        labels.push_back({rect, text});
    }
    std::stable_sort(labels.begin(), labels.end(), [](const Placed& a, const Placed& b) {
        return a.rect.top != b.rect.top ? a.rect.top < b.rect.top : a.rect.left < b.rect.left;
    });
    std::vector<std::string> texts;
    for (const Placed& label : labels) texts.push_back(label.text);
    return texts;
}

HWND FocusOf(HWND top) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

}  // namespace orvauto
