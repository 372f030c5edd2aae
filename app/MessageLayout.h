#pragma once
// Where the parts of a message dialog go, in pixels, from the font's dialog units and the measured text.
// Kept apart from Windows so the arithmetic can be checked anywhere.
#include <array>

#include "PixelBox.h"

namespace orv {

// A horizontal dialog unit is a quarter of the font's average character width, a vertical one an eighth
// of its height; both round to the nearest pixel as MulDiv does.
struct DialogUnits {
    int averageCharWidth = 0;
    int charHeight = 0;
    int X(int units) const;
    int Y(int units) const;
};

struct MessageLayout {
    int clientWidth = 0, clientHeight = 0;
    PixelBox icon;
    PixelBox text;
    // Left to right; a fixed array, as a dialog has one or two buttons (more are not laid out).
    static constexpr int MaxButtons = 2;
    std::array<PixelBox, MaxButtons> buttons{};
    int buttonCount = 0;
};

// The width at which the text wraps between words: half the screen.
inline int MessageWrapWidth(int screenWidth) { return screenWidth / 2; }

// textWidth and textHeight are the wrapped text's extent (wider than the wrap width when one word is);
// widestCaption is the widest button caption as drawn; iconSize 0 means no icon.
MessageLayout LayOutMessage(const DialogUnits& units, int textWidth, int textHeight, int widestCaption,
                            int buttonCount, int iconSize);

}  // namespace orv
