#pragma once

// Moves on a board as the front ends and the solution replay make them: where the
// blank is, a tile sliding into it, and the way it slides.

#include <cstdint>

#include "puzzle/board.h"

namespace fifteen {

// The way a tile slides into the blank: up when it comes from the cell below.
enum class SlideDirection : int32_t { none = 0, up = 1, right = 2, down = 3, left = 4 };

// The lowest-numbered cell holding 0; -1 when none does.
int blankCell(const Board& board);

// The way a tile in cell `from` slides into the blank at cell `to`; none when the
// two cells are not neighbours.
SlideDirection slideDirection(int from, int to);

// 'U', 'R', 'D' or 'L', the letters of the command line's report; '?' for none.
char directionLetter(SlideDirection direction);

// Slides tile (1..15) into the blank when it lies next to it and returns the way it
// went; none, with the board unchanged, when it does not (or there is no blank).
SlideDirection slideTile(Board& board, int32_t tile);

}  // namespace fifteen
