#pragma once

// The main dialog's template, as the window system it was designed for lays one
// out: controls placed in dialog units, a unit a quarter of the font's average
// character width across and an eighth of its height down, so the whole dialog
// grows with the font. Also the fitting: base units made larger where the fonts
// on this machine would cut off what a control must show.

#include <QFont>

#include <span>
#include <vector>

namespace fifteen::ui {

enum class ControlKind {
    groupBox,
    pushButton,
    pushCheckBox,
    outputBox,
    etchedLine,
    leftText,
    rightText
};

struct ControlTemplate {
    int id;  // from ui/dialog_ids.h
    ControlKind kind;
    const char* text;
    int x, y, cx, cy;  // dialog units
};

inline constexpr int dialogWidthDu = 346;
inline constexpr int dialogHeightDu = 216;

// Every control of the dialog, once; creation order is stacking order (the group
// boxes lie under their buttons).
std::span<const ControlTemplate> dialogTemplate();
// The row of a control of the template.
const ControlTemplate& templateRow(int controlId);

// Pixels per dialog unit, from the dialog font as the window system the template
// was written for computes them.
struct DialogBaseUnits {
    int x;  // average character width
    int y;  // character height

    static DialogBaseUnits of(const QFont& font);
    int toPixelsX(int du) const;
    int toPixelsY(int du) const;
};

// The font the dialog is laid out with: the application's sans-serif family at
// the pixel size of a 10 pt font on a 96 dpi screen.
QFont dialogFont();
// The output box's font: the system's fixed font.
QFont outputFont();

// A length in dialog units along one axis that must come to at least some pixels.
struct RoomNeeded {
    bool vertical;
    int du;
    int pixels;
};

// The room the template's controls need in pixels, from the fonts they show text
// in: the output box its longest report, each button and static text its text, the
// board its 256 pixels.
std::vector<RoomNeeded> roomNeeded(const QFont& font);
// The font's base units, made larger where a control would not have the room it
// needs, so that the whole template grows together and nothing is cut off.
DialogBaseUnits fittingUnits(const QFont& font);

}  // namespace fifteen::ui
