#include "FormLayout.h"

#include "HostContract.h"

namespace orv {

namespace {
constexpr const char* MailAddress = "support@tovrenik.example";
constexpr const char* WebHost = "www.tovrenik.example";
constexpr const char* CannotContinue = "Can not continue";
}  // namespace

// clang-format off
// One row a control, in the order of the names in ctl.
const ControlDesign FormDesign[ctl::Count] = {
    {ControlKind::Label, 100, {40, 160, 0, 0}, "", nullptr, 0, TextLook::Plain, false, false, true},
    {ControlKind::Label, 101, {13, 152, 0, 0}, "Orvandel Chemstation Addon made by Tovrenik", nullptr, 0,
     TextLook::Plain, false, true, true},
    {ControlKind::Label, 102, {80, 8, 45, 13}, addon::Version, nullptr, 0, TextLook::Bold, true, true, true},
    {ControlKind::Label, 103, {13, 168, 0, 0}, MailAddress, nullptr, 0, TextLook::Link, false, true, true},
    {ControlKind::Label, 104, {394, 168, 92, 13}, WebHost, nullptr, 0, TextLook::Link, true, true, true},
    {ControlKind::Label, 105, {15, 8, 0, 0}, "Version", nullptr, 0, TextLook::Bold, false, true, true},
    {ControlKind::Button, 110, {16, 112, 65, 25}, "&Install", nullptr, 0, TextLook::Plain, false, true, false},
    {ControlKind::Button, 111, {88, 112, 65, 25}, "&Remove", nullptr, 0, TextLook::Plain, false, true, false},
    {ControlKind::Button, CancelCommand, {424, 112, 57, 25}, "&Close", nullptr, 0, TextLook::Plain, false,
     true, true},
    {ControlKind::Panel, 120, {8, 40, 241, 57}, "This will install an addon for your ChemStation",
     "Do you want to continue?", 130, TextLook::Plain, false, false, true},
    {ControlKind::Panel, 121, {8, 40, 241, 57}, "Incomplete installation detected",
     "You can select install or remove", 131, TextLook::Plain, false, false, true},
    {ControlKind::Panel, 122, {8, 40, 241, 57}, "Files are already installed",
     "Do you want to remove?", 132, TextLook::Plain, false, false, true},
    {ControlKind::Panel, 123, {8, 40, 241, 57}, "ChemStation not found", CannotContinue, 133,
     TextLook::Plain, false, true, true},
    {ControlKind::Panel, 124, {8, 40, 241, 57}, "GCMS ChemStation is not supported", CannotContinue, 134,
     TextLook::Plain, false, false, true},
    // Its second label is LabelVersion, which the status evaluation fills.
    {ControlKind::Panel, 125, {8, 40, 241, 57}, "Version currently installed :", "", 135,
     TextLook::Plain, false, false, true},
    {ControlKind::Button, 112, {328, 112, 89, 25}, "Edit &user.mac", nullptr, 0, TextLook::Plain,
     false, true, true},
};
// clang-format on

// Rounds half away from zero, as MulDiv does, so a negative font height scales like a positive one.
int ScaleToDpi(int value, int dpi) {
    return value >= 0 ? (value * dpi + 48) / 96 : -((-value * dpi + 48) / 96);
}

PixelBox ScaleToDpi(const PixelBox& box, int dpi) {
    return {ScaleToDpi(box.left, dpi), ScaleToDpi(box.top, dpi), ScaleToDpi(box.width, dpi),
            ScaleToDpi(box.height, dpi)};
}

PixelBox FitLabel(const PixelBox& designed, bool rightAligned, int dpi, int textWidth, int textHeight) {
    const PixelBox scaled = ScaleToDpi(designed, dpi);
    const int left = rightAligned ? scaled.left + scaled.width - textWidth : scaled.left;
    return {left, scaled.top, textWidth, textHeight};
}

}  // namespace orv
