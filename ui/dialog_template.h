#pragma once

// The main dialog's template, once for every window system: its controls placed
// in dialog units (a unit a quarter of the font's average character width across
// and an eighth of its height down, so the whole dialog grows with the font),
// and the room its controls need, from which the base units are made larger where
// the fonts of a machine would cut off what a control must show.

#include <functional>
#include <span>
#include <string_view>
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
bool isButton(const ControlTemplate& row);
// The group box a button lies in (the button itself when none).
const ControlTemplate& groupOf(const ControlTemplate& button);

// Pixels per dialog unit.
struct DialogBaseUnits {
    int x;  // average character width
    int y;  // character height

    // From the width of the 52 letters A-Z a-z and the height of the dialog font,
    // as the window system the template was written for computes them.
    static DialogBaseUnits fromAlphabet(int alphabetWidth, int fontHeight);
    // du * units / 4 (or / 8), rounded half away from zero.
    int toPixelsX(int du) const;
    int toPixelsY(int du) const;
};

// A length in dialog units along one axis that must come to at least some pixels.
struct RoomNeeded {
    bool vertical;
    int du;
    int pixels;
};

// What the room depends on, measured by the window system in pixels.
struct TextMetrics {
    int fontHeight = 0;                                // the dialog font's line height
    std::function<int(std::string_view)> width;        // a text's width in the dialog font
    std::function<int(std::string_view)> outputWidth;  // a text's width in the output font
    int outputLineSpacing = 0;
    int outputPadding = 0;  // the output box's frame, margins and cursor, both sides
    int buttonPadding = 0;  // a button's margins and frame, both sides
};

// The room the template's controls need: the output box its longest report,
// each button and static text its text, the board its 256 pixels and margin.
std::vector<RoomNeeded> roomNeeded(const TextMetrics& metrics);
// units, made larger where a control would not have the room it needs, so that the
// whole template grows together and nothing is cut off.
DialogBaseUnits fittingUnits(DialogBaseUnits units, const std::vector<RoomNeeded>& room);

}  // namespace fifteen::ui
