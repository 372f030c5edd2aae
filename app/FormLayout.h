#pragma once
// The main window as designed: every control at 96 pixels per inch in creation order, and the one place
// where those numbers become the screen's pixels. Kept apart from Windows so it can be checked anywhere.
#include "PixelBox.h"

namespace orv {

enum class ControlKind : unsigned char { Label, Button, Panel };
enum class TextLook : unsigned char { Plain, Bold, Link };

struct ControlDesign {
    ControlKind kind;
    short id;            // what the window's WM_COMMAND sees (narrow types keep the table small)
    PixelBox box;        // a label's width and height only place it: it takes the size of its text
    const char* caption; // a label or button: its text; a panel: its first label
    const char* second;  // a panel's second label
    short secondId;
    TextLook look;
    bool rightAligned;   // such a label keeps its right edge when it takes the size of its text
    bool visible;
    bool enabled;
};

// Indexes into FormDesign, which is in creation order: later controls lie above earlier ones.
namespace ctl {
enum : int {
    LabelDirectory,
    Label2,
    lblVersion,
    LabelMail,
    LabelWeb,
    Label3,
    ButtonInstall,
    ButtonRemove,
    ButtonClose,
    PanelNotInstalled,
    PanelSomeInstalled,
    PanelAllInstalled,
    PanelNoChemStation,
    PanelMSChemStation,
    PanelVersion,
    ButtonEditUserMac,
    Count
};
}  // namespace ctl

extern const ControlDesign FormDesign[ctl::Count];

inline constexpr const char* FormCaption = "Orvandel Chemstation Addon";
inline constexpr int FormClientWidth = 498;
inline constexpr int FormClientHeight = 191;
inline constexpr PixelBox PanelFirstLabel = {8, 8, 0, 0};
inline constexpr PixelBox PanelSecondLabel = {8, 32, 0, 0};
// Escape sends the cancel command (IDCANCEL), so the Close button carries its number.
inline constexpr int CancelCommand = 2;

int ScaleToDpi(int value, int dpi);
PixelBox ScaleToDpi(const PixelBox& box, int dpi);

// A label's place once its text (measured in screen pixels) is known.
PixelBox FitLabel(const PixelBox& designed, bool rightAligned, int dpi, int textWidth, int textHeight);

}  // namespace orv
