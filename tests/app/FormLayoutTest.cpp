#include "FormLayout.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

namespace orv {
namespace {

TEST(FormLayout, ScalesDesignPixelsToTheScreen) {
    const struct {
        int value, dpi, scaled;
    } cases[] = {{498, 96, 498}, {498, 120, 623}, {498, 144, 747}, {191, 120, 239}, {13, 120, 16},
                 {-11, 96, -11}, {11, 120, 14},   {8, 192, 16},    {57, 72, 43}};
    for (const auto& c : cases) EXPECT_EQ(ScaleToDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
}

TEST(FormLayout, LabelTakesTheSizeOfItsText) {
    const struct {
        PixelBox design;
        bool right;
        int dpi, textWidth, textHeight;
        PixelBox placed;
    } cases[] = {
        {{13, 168, 0, 0}, false, 96, 150, 13, {13, 168, 150, 13}},
        {{13, 168, 0, 0}, false, 120, 190, 16, {16, 210, 190, 16}},
        // Right-aligned labels keep their right edge: 394 + 92 = 486, 80 + 45 = 125.
        {{394, 168, 92, 13}, true, 96, 92, 13, {394, 168, 92, 13}},
        {{394, 168, 92, 13}, true, 96, 130, 13, {356, 168, 130, 13}},
        {{80, 8, 45, 13}, true, 96, 40, 13, {85, 8, 40, 13}},
        {{80, 8, 45, 13}, true, 144, 66, 20, {188 - 66, 12, 66, 20}},
    };
    for (const auto& c : cases) {
        const PixelBox b = FitLabel(c.design, c.right, c.dpi, c.textWidth, c.textHeight);
        EXPECT_EQ(b.left, c.placed.left) << c.design.left << " at " << c.dpi;
        EXPECT_EQ(b.top, c.placed.top) << c.design.left << " at " << c.dpi;
        EXPECT_EQ(b.width, c.placed.width) << c.design.left << " at " << c.dpi;
        EXPECT_EQ(b.height, c.placed.height) << c.design.left << " at " << c.dpi;
    }
}

bool Inside(const PixelBox& b) {
    return b.left >= 0 && b.top >= 0 && b.left + b.width <= FormClientWidth && b.top + b.height <= FormClientHeight;
}

TEST(FormLayout, EveryControlLiesInsideTheClientArea) {
    for (const ControlDesign& d : FormDesign) EXPECT_TRUE(Inside(d.box)) << d.id;
}

TEST(FormLayout, PanelsShareOneRectangleAndOnlyNoChemStationShowsAtStart) {
    int visible = 0;
    for (int i = ctl::PanelNotInstalled; i <= ctl::PanelVersion; ++i) {
        const ControlDesign& d = FormDesign[i];
        ASSERT_EQ(d.kind, ControlKind::Panel) << d.id;
        EXPECT_EQ(d.box.left, 8);
        EXPECT_EQ(d.box.top, 40);
        EXPECT_EQ(d.box.width, 241);
        EXPECT_EQ(d.box.height, 57);
        if (d.visible) {
            ++visible;
            EXPECT_EQ(i, ctl::PanelNoChemStation);
        }
    }
    EXPECT_EQ(visible, 1);
    // Creation order is stacking order: the version panel covers every other.
    EXPECT_EQ(ctl::PanelVersion, ctl::PanelMSChemStation + 1);
    EXPECT_GT(ctl::PanelMSChemStation, ctl::PanelNoChemStation);
}

TEST(FormLayout, ButtonsHaveDistinctAccessKeysAndOnlyCloseAndEditStartEnabled) {
    const struct {
        int index;
        char key;
        bool enabled;
    } buttons[] = {{ctl::ButtonInstall, 'I', false},
                   {ctl::ButtonRemove, 'R', false},
                   {ctl::ButtonClose, 'C', true},
                   {ctl::ButtonEditUserMac, 'U', true}};
    std::set<int> ids;
    for (const auto& b : buttons) {
        const ControlDesign& d = FormDesign[b.index];
        const std::string caption = d.caption;
        const std::size_t mark = caption.find('&');
        ASSERT_NE(mark, std::string::npos) << d.id;
        EXPECT_EQ(std::toupper(static_cast<unsigned char>(caption[mark + 1])), b.key) << d.id;
        EXPECT_EQ(d.enabled, b.enabled) << d.id;
        EXPECT_TRUE(ids.insert(d.id).second) << d.id;
    }
    EXPECT_EQ(FormDesign[ctl::ButtonClose].id, CancelCommand);
}

TEST(FormLayout, ControlIdentifiersAreUnique) {
    std::set<int> ids;
    for (const ControlDesign& d : FormDesign) {
        EXPECT_TRUE(ids.insert(d.id).second) << d.id;
        if (d.kind == ControlKind::Panel) {
            EXPECT_TRUE(ids.insert(d.secondId).second) << d.id;
        }
    }
}

}  // namespace
}  // namespace orv
