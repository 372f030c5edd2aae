#include "MessageLayout.h"

#include <algorithm>

namespace orv {

namespace {

int RoundedRatio(int value, int numerator, int denominator) {
    return (value * numerator + denominator / 2) / denominator;
}

constexpr int MarginUnits = 8;
constexpr int SpacingUnits = 10;   // icon to text, text to buttons
constexpr int ButtonWidthUnits = 50;
constexpr int ButtonHeightUnits = 14;
constexpr int ButtonGapUnits = 4;
constexpr int CaptionPadding = 8;  // pixels beside the widest caption

}  // namespace

int DialogUnits::X(int units) const { return RoundedRatio(units, averageCharWidth, 4); }
int DialogUnits::Y(int units) const { return RoundedRatio(units, charHeight, 8); }

MessageLayout LayOutMessage(const DialogUnits& units, int textWidth, int textHeight, int widestCaption,
                            int buttonCount, int iconSize) {
    const int marginX = units.X(MarginUnits);
    const int marginY = units.Y(MarginUnits);
    const int buttonWidth = std::max(units.X(ButtonWidthUnits), widestCaption + CaptionPadding);
    const int buttonHeight = units.Y(ButtonHeightUnits);
    const int buttonGap = units.X(ButtonGapUnits);

    int blockWidth = textWidth;
    int blockHeight = textHeight;
    if (iconSize > 0) {
        blockWidth += iconSize + units.X(SpacingUnits);
        blockHeight = std::max(blockHeight, iconSize);
    }
    const int rowWidth = buttonCount * buttonWidth + (buttonCount - 1) * buttonGap;

    MessageLayout layout;
    layout.clientWidth = std::max(blockWidth, rowWidth) + 2 * marginX;
    layout.clientHeight = blockHeight + units.Y(SpacingUnits) + buttonHeight + 2 * marginY;
    if (iconSize > 0) layout.icon = {marginX, marginY, iconSize, iconSize};
    layout.text = {marginX + blockWidth - textWidth, marginY, textWidth, textHeight};
    const int rowTop = marginY + blockHeight + units.Y(SpacingUnits);
    int left = (layout.clientWidth - rowWidth) / 2;
    for (; layout.buttonCount < buttonCount && layout.buttonCount < MessageLayout::MaxButtons; ++layout.buttonCount) {
        layout.buttons[layout.buttonCount] = {left, rowTop, buttonWidth, buttonHeight};
        left += buttonWidth + buttonGap;
    }
    return layout;
}

}  // namespace orv
