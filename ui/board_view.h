#pragma once

// The shown board: what the user sees and what Solve copies. Draws it from the
// tile artwork into the 256x256 board surface, with at most one tile in motion
// over the grid, and turns mouse input into edits in the two editing modes.

#include <cstdint>
#include <string>

#include "puzzle/board.h"
#include "ui/dialog_ids.h"
#include "ui/output_model.h"
#include "ui/platform.h"

namespace fifteen::ui {

inline constexpr int cellPixels = 64;
inline constexpr int boardPixels = 256;
// The drag clip square lies this far inside the board on every side.
inline constexpr int dragClipInset = 8;
inline constexpr int32_t maxBackwardMoves = 999;

struct TileInMotion {
    int32_t tile = 0;  // 0: no tile in motion
    int32_t cell = 0;  // drag: the cell it was lifted from; playback: its destination
    int32_t x = 0;     // centre in board pixels
    int32_t y = 0;
};

// The cell under a board-relative point, or -1 off the cells (the right and
// bottom edges included).
int boardCellAt(Point p);
// The cell of the tile that slides dColumn, dRow (one of them +-1) into the
// blank, or -1 when none can.
int cellSlidingInto(const Board& board, int dColumn, int dRow);

// The position as assistive tools read it: four rows of four cells, the blank
// as "blank".
std::string boardDescription(const Board& board);

class BoardView {
  public:
    // Backward play counts its moves in status.
    BoardView(Platform& platform, StatusLine& status) : platform_(platform), status_(status) {}

    // Creates both surfaces and loads the artwork; the image at tile cell 0 becomes
    // the blank, filled with the button-face colour. False when the artwork could
    // not be loaded (the tiles then draw black).
    bool createSurfaces();
    void releaseSurfaces();

    // Board rectangle in client coordinates, and the board's offset inside the
    // window rectangle plus the clip inset, for the drag clip square.
    void place(Rect boardRect, Point clipOffset);
    Rect rect() const { return rect_; }
    // The drag clip square in screen coordinates, from the window as it stands now.
    Rect dragClip() const;

    // Goal board, no tile in motion.
    void putGoal();
    // Composes the board surface and marks the board rectangle for repainting; the
    // board's description follows the settled board.
    void redraw();
    void compose();

    // The board mouse handler, in the backward and direct-drag modes only; p is
    // board-relative (inside the rectangle, edges included, or anywhere while a
    // lifted tile follows the pointer).
    void onMouse(UiMode mode, MouseEvent event, Point p);
    // Backward play by key: the tile next to the blank that can slide dColumn,
    // dRow (one of them +-1) slides into it, counted as the same click would be.
    void slideIntoBlank(int dColumn, int dRow);
    // A tile lifted in direct drag goes back to its cell and the cursor is
    // released; false when none was lifted.
    bool cancelDrag();
    // The board with a tile in motion placed in its cell.
    Board settledBoard() const;

    const Surface& surface() const { return surface_; }
    const Surface& tiles() const { return tiles_; }

    Board board{};
    TileInMotion motion;
    int32_t backwardCount = 0;
    Point pointer{0, 0};  // last board-relative pointer position

  private:
    void backwardClick(int cell);
    void lift(int cell);
    void drop(int cell);
    void drawTile(int32_t tile, int x, int y);

    Platform& platform_;
    StatusLine& status_;
    Surface tiles_;
    Surface surface_;
    BoardTiles tileList_;  // what compose drew, for sharper redrawing
    Rect rect_{0, 0, boardPixels, boardPixels};
    std::string description_;  // as last given to the platform
    Point clipOffset_{dragClipInset, dragClipInset};
};

}  // namespace fifteen::ui
