#include "MessageLayout.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

// Tahoma 8 pt at 96 dpi: an average character of 6 pixels, 13 pixels high. A dialog unit is then 1.5 by
// 1.625 pixels: 8 units are 12 by 13, 10 units are 15 by 16, 50 units are 75, 14 units are 23, 4 units are 6.
const DialogUnits Tahoma{6, 13};

TEST(MessageLayout, DialogUnitsRoundToTheNearestPixel) {
    const struct {
        DialogUnits units;
        int dlu, x, y;
    } cases[] = {
        {{6, 13}, 8, 12, 13}, {{6, 13}, 10, 15, 16}, {{6, 13}, 14, 21, 23}, {{7, 16}, 50, 88, 100},
        {{5, 13}, 1, 1, 2},   {{9, 19}, 4, 9, 10},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.units.X(c.dlu), c.x) << c.units.averageCharWidth << " " << c.dlu;
        EXPECT_EQ(c.units.Y(c.dlu), c.y) << c.units.charHeight << " " << c.dlu;
    }
}

TEST(MessageLayout, OneButtonUnderIconAndText) {
    const MessageLayout l = LayOutMessage(Tahoma, 200, 26, 14, 1, 32);
    EXPECT_EQ(l.icon.left, 12);
    EXPECT_EQ(l.icon.top, 13);
    EXPECT_EQ(l.icon.width, 32);
    EXPECT_EQ(l.text.left, 12 + 32 + 15);
    EXPECT_EQ(l.text.top, 13);
    EXPECT_EQ(l.clientWidth, 12 + 32 + 15 + 200 + 12);
    // The icon is higher than two lines of text, so the buttons go 10 units below the icon.
    ASSERT_EQ(l.buttonCount, 1);
    EXPECT_EQ(l.buttons[0].top, 13 + 32 + 16);
    EXPECT_EQ(l.buttons[0].width, 75);
    EXPECT_EQ(l.buttons[0].height, 23);
    EXPECT_EQ(l.clientHeight, 13 + 32 + 16 + 23 + 13);
    EXPECT_EQ(l.buttons[0].left, (12 + 32 + 15 + 200 + 12 - 75) / 2);
}

TEST(MessageLayout, TallTextPushesTheButtonsDown) {
    const MessageLayout l = LayOutMessage(Tahoma, 300, 13 * 6, 20, 2, 32);
    EXPECT_EQ(l.buttons[0].top, 13 + 78 + 16);
    EXPECT_EQ(l.clientHeight, 13 + 78 + 16 + 23 + 13);
}

TEST(MessageLayout, YesNoRowIsCentredWithAFourUnitGap) {
    const MessageLayout l = LayOutMessage(Tahoma, 400, 13, 20, 2, 32);
    ASSERT_EQ(l.buttonCount, 2);
    EXPECT_EQ(l.buttons[1].left - (l.buttons[0].left + l.buttons[0].width), 6);
    const int rowWidth = 2 * 75 + 6;
    EXPECT_EQ(l.buttons[0].left, (12 + 32 + 15 + 400 + 12 - rowWidth) / 2);
    EXPECT_EQ(l.buttons[0].top, l.buttons[1].top);
}

TEST(MessageLayout, ButtonWidthIsTheLargerOfFiftyUnitsAndCaptionPlusEight) {
    const struct {
        int widestCaption, width;
    } cases[] = {{20, 75}, {67, 75}, {68, 76}, {120, 128}};
    for (const auto& c : cases) {
        const MessageLayout l = LayOutMessage(Tahoma, 100, 13, c.widestCaption, 2, 32);
        EXPECT_EQ(l.buttons[0].width, c.width) << c.widestCaption;
        EXPECT_EQ(l.buttons[1].width, c.width) << c.widestCaption;
    }
}

TEST(MessageLayout, ButtonsWiderThanTextWidenTheDialog) {
    const MessageLayout l = LayOutMessage(Tahoma, 10, 13, 20, 2, 32);
    EXPECT_EQ(l.clientWidth, 2 * 75 + 6 + 2 * 12);
    EXPECT_EQ(l.buttons[0].left, 12);
}

TEST(MessageLayout, AWordWiderThanTheWrapWidthWidensTheDialog) {
    const int wrap = MessageWrapWidth(1024);
    EXPECT_EQ(wrap, 512);
    const MessageLayout l = LayOutMessage(Tahoma, 700, 26, 14, 1, 32);
    EXPECT_EQ(l.text.width, 700);
    EXPECT_EQ(l.clientWidth, 12 + 32 + 15 + 700 + 12);
}

}  // namespace
}  // namespace orv
