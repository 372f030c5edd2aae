#pragma once
// Small owners and readers for the user-interface handles of the program.
#include <windows.h>

#include <string>

#include "StringCode.h"

namespace orv {

// A GDI object (font, brush) that is deleted with its owner.
class GdiObject {
public:
    explicit GdiObject(HGDIOBJ object = nullptr) : object_(object) {}
    ~GdiObject() {
        if (object_ != nullptr) DeleteObject(object_);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    HGDIOBJ Get() const { return object_; }
    HFONT Font() const { return static_cast<HFONT>(object_); }
    void Reset(HGDIOBJ object) {
        if (object_ != nullptr) DeleteObject(object_);
        object_ = object;
    }

private:
    HGDIOBJ object_;
};

// The screen's device context with one object selected into it, for measuring text.
class ScreenMeasure {
public:
    explicit ScreenMeasure(HGDIOBJ font) : dc_(GetDC(nullptr)), old_(SelectObject(dc_, font)) {}
    ~ScreenMeasure() {
        SelectObject(dc_, old_);
        ReleaseDC(nullptr, dc_);
    }
    ScreenMeasure(const ScreenMeasure&) = delete;
    ScreenMeasure& operator=(const ScreenMeasure&) = delete;
    HDC Dc() const { return dc_; }

    // The extent of the text as DrawTextA lays it out with these flags within the given width.
    SIZE Extent(const std::string& text, UINT flags, int width = 0) const {
        RECT r = {0, 0, width, 0};
        DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The text of one of the program's own windows, and a new one for it.
std::string WindowText(HWND window);
void SetOwnWindowText(HWND window, const char* text);
// What LoadIconA gives (an icon of the system's default size, shared), through LoadImageA, which the program
// imports anyway.
HICON LoadSharedIcon(HINSTANCE instance, const char* name);
// Registers a window class once: a second registration of the name fails and changes nothing. Every class
// of the program has the arrow cursor; a faced one is filled with the colour of buttons.
void RegisterWindowClass(const char* name, WNDPROC procedure, HINSTANCE instance, int extraBytes, bool faced,
                         HICON icon = nullptr, HICON smallIcon = nullptr);
// The object one of the program's windows was made for (CreateWindowExA's last argument), kept in its user
// data from WM_NCCREATE on; null for the few messages before.
void* WindowOwner(HWND window, UINT message, LPARAM lParam);
// A text of the program's string table.
std::string ResourceText(UINT id);
// The pixels per inch of the screen, which every layout scales to.
int ScreenDpi();

}  // namespace orv
