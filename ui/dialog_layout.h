#pragma once

// Where the dialog's parts go, for every window system: the controls for a
// client area of a given size (the template at its smallest, a larger window
// growing the board and giving the rest to the output box), the board as shown
// and the pointer's place on it, the tab order, and the limits of the window's
// place kept between runs.

#include <array>
#include <utility>
#include <vector>

#include "ui/dialog_ids.h"
#include "ui/dialog_template.h"
#include "ui/platform.h"

namespace fifteen::ui {

struct Size {
    int width;
    int height;
    bool operator==(const Size&) const = default;
};

// The client area of the template at units: the dialog's smallest size.
Size smallestClient(const DialogBaseUnits& units);

struct DialogLayout {
    // Every control of the template, in its order, in client pixels.
    std::vector<std::pair<int, Rect>> controls;
    // The board grows by growth pixels on each side and moves down by down (none:
    // its top stays level with the output box's); the dialog logic still sees it
    // at its own size (see shownBoard).
    int growth = 0;
    int down = 0;

    Rect control(int controlId) const;
    // What takes the output box's place (the review's plot) goes exactly there.
    Rect output() const { return control(idOutput); }
    // A line of height pixels just above the output box (the stale report's note).
    Rect aboveOutput(int height) const;
};

// The layout for a client area of client pixels (never below the smallest).
DialogLayout layOutDialog(const DialogBaseUnits& units, Size client);

// Where the board is shown: board (the dialog logic's rectangle, client
// coordinates) grown and moved down as layout says.
Rect shownBoard(Rect board, const DialogLayout& layout);
Rect shownBoard(Rect board, int growth, int down);
// A point p of the client area in the dialog logic's coordinates: inside the
// shown board scaled to the board's own 256 pixels, so every cell answers where
// it is drawn, at any size and scale.
Point boardPointToLogic(Rect board, Rect shown, Point p);

// Tab and Shift+Tab go round these, skipping what is disabled or hidden;
// focusBoard stands for the board.
inline constexpr std::array<int, 9> tabOrder = {
    idShuffle, idBackward, idDirectDrag, idReset, idSolve, idCancel, idTrace, focusBoard, idOutput};

// The window's size from a kept one: as large as it was, as far as the screen's
// room allows, never below smallest.
Size keptWindowSize(Size kept, Size room, Size smallest);
// A kept top-left corner is used only where the title bar's point returned here
// still lies on a screen (screens may have changed between runs).
Point titleBarPoint(Point keptTopLeft, int frameWidth);

}  // namespace fifteen::ui
