#pragma once

// The dialog template (ui/dialog_template.h) measured in GDI's fonts: the base
// units of the dialog's font, as the dialog manager computes them, made larger
// where a control would not have the room it needs; the output box's monospace
// font; and where the board is shown at the window's resolution.

#include <windows.h>

#include "ui/dialog_layout.h"
#include "ui/dialog_template.h"

namespace fifteen::ui::win32 {

// The dialog manager's base units of font: the alphabet's average width and the
// font's height.
DialogBaseUnits baseUnitsOf(HFONT font);
// The room the template's controls need with the dialog font and the output font
// at dpi, and the font's units made large enough for it.
std::vector<RoomNeeded> roomNeeded(HFONT dialogFont, HFONT outputFont, UINT dpi);
DialogBaseUnits fittingUnits(HFONT dialogFont, HFONT outputFont, UINT dpi);

// A monospace system font as tall as font (the caller deletes it).
HFONT createOutputFont(HFONT font);
// font at another resolution (the caller deletes it).
HFONT scaledFont(HFONT font, UINT fromDpi, UINT toDpi);

// Where the board is shown in a layout at dpi: the 256 pixels of the board at the
// window's scale, centred where the dialog logic centres its board in the
// template's layout (beside the output box, between the buttons' groups and the
// separator), then grown with the window as layout says.
Rect shownBoardAt(const DialogBaseUnits& units, const DialogLayout& layout, UINT dpi);

}  // namespace fifteen::ui::win32
