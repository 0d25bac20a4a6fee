#pragma once

// How the board window paints, apart from the window: the board surface or, when
// shown at another size than its own, the same tiles from artwork of the shown
// size with whatever else the surface shows scaled over them; the optimal moves'
// marks on whole pixels; the note band; the dotted focus marks.

#include <windows.h>

#include <string>

#include "ui/platform.h"
#include "ui/win32/views/canvas.h"

namespace fifteen::ui::win32 {

// The artwork a board shown at another size is drawn from, kept between paints:
// the one-to-one tiles and the tiles at side pixels each, their blanks filled as
// the dialog logic fills its own.
class SharpArtwork {
  public:
    // False when no artwork is linked in.
    bool prepare(int side, Color blank);
    const Surface& oneToOne() const { return one_; }
    const Surface& atSide() const { return device_; }

  private:
    int side_ = 0;
    Color blank_ = 0;
    Surface one_;
    Surface device_;
};

struct BoardPicture {
    const Surface* surface = nullptr;
    Rect shown{};  // where the board lands on the canvas
    const BoardTiles* tiles = nullptr;
    BoardMarks marks;
    std::wstring note;
    LOGFONTW font{};  // the dialog's: the marks' and the note's text are bold of it
    Color blank = 0;  // the blank cell's colour
};

// Tile side in pixels for a board shown width pixels wide.
int tileSideFor(int shownWidth);

// The board, its marks and its note onto canvas at picture.shown.
void paintBoard(Canvas& canvas, const BoardPicture& picture, SharpArtwork& artwork);

// Dotted marks of width pixels in ink round shown, gap pixels outside it.
void paintFocusMarks(Canvas& canvas, Rect shown, int gap, int width, Color ink);

// The system's message font at dpi (the fallback when a window has no font).
LOGFONTW messageFont(UINT dpi);

}  // namespace fifteen::ui::win32
