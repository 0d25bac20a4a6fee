#pragma once

// The dialog template (ui/dialog_template.h) measured in Qt's fonts: the fonts the
// dialog shows its texts in, and the base units that give every control the room
// it needs with them.

#include <QFont>

#include <vector>

#include "ui/dialog_template.h"

namespace fifteen::ui {

// The font the dialog is laid out with: the application's sans-serif family at
// the pixel size of a 10 pt font on a 96 dpi screen.
QFont dialogFont();
// The output box's font: the system's fixed font.
QFont outputFont();

// The font's own base units, as the window system the template was written for
// computes them.
DialogBaseUnits baseUnitsOf(const QFont& font);
// The template's room needed, measured with font and the output font.
std::vector<RoomNeeded> roomNeeded(const QFont& font);
// The font's base units, made larger where a control would not have the room it
// needs with these fonts.
DialogBaseUnits fittingUnits(const QFont& font);

}  // namespace fifteen::ui
