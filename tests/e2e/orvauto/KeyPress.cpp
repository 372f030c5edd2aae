#include "KeyPress.h"

namespace orvauto {

namespace {

struct Named {
    const char* name;
    UINT virtualKey;
};

const Named NamedKeys[] = {
    {"enter", VK_RETURN}, {"escape", VK_ESCAPE}, {"tab", VK_TAB},     {"space", VK_SPACE},
    {"left", VK_LEFT},    {"right", VK_RIGHT},   {"up", VK_UP},       {"down", VK_DOWN},
};

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

bool ParseKey(const std::string& name, Key& key) {
    std::string rest = Lower(name);
    key = Key{};
    if (rest.rfind("alt+", 0) == 0) {
        key.alt = true;
        rest = rest.substr(4);
    }
    for (const Named& named : NamedKeys)
        if (rest == named.name) {
            key.virtualKey = named.virtualKey;
            return true;
        }
    if (rest.size() == 1 && ((rest[0] >= 'a' && rest[0] <= 'z') || (rest[0] >= '0' && rest[0] <= '9'))) {
        key.virtualKey = static_cast<UINT>(rest[0] >= 'a' ? rest[0] - 'a' + 'A' : rest[0]);
        return true;
    }
    return false;
}

void PostKey(HWND target, const Key& key) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(key.virtualKey, 0)) << 16;
    const LPARAM context = key.alt ? (1L << 29) : 0;  // the Alt key is held
    const LPARAM released = (1L << 30) | (1L << 31);
    PostMessageA(target, key.alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key.virtualKey, 1 | scan | context);
    PostMessageA(target, key.alt ? WM_SYSKEYUP : WM_KEYUP, key.virtualKey, 1 | scan | context | released);
}

}  // namespace orvauto
