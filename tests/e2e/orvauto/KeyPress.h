#pragma once
// Key presses posted to another program's window, as the keyboard would deliver them to its queue.
#include <windows.h>

#include <string>

namespace orvauto {

struct Key {
    UINT virtualKey = 0;
    bool alt = false;
};

// "Enter", "Escape", "Tab", "Space", "Left", "Right", "Up", "Down", a letter or digit ("i"), or one of
// these after "alt+" ("alt+i"). False for anything else.
bool ParseKey(const std::string& name, Key& key);

// Posts the key-down and key-up messages only: the program's own TranslateMessage (or IsDialogMessage)
// makes the character message, exactly once, as it does for a real key.
void PostKey(HWND target, const Key& key);

}  // namespace orvauto
