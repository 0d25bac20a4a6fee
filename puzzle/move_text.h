#pragma once

// Text form of a move sequence, as Copy solution and the command line print it:
// tile numbers ("12 7 3", separated by spaces, tabs, commas or line ends) or
// letters U, D, L, R (either case, spaces allowed), the way each tile slides.
// A text of both, one line of numbers and one of letters (Copy solution's), is
// read by its numbers. Pure: no I/O, safe on any bytes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "puzzle/board.h"

namespace fifteen {

// One move as written: a tile (direction 0) or a direction (tile 0).
struct WrittenMove {
    int32_t tile = 0;
    char direction = 0;  // 'U', 'D', 'L' or 'R'
    // Where parseMoves read it: [begin, end) byte offsets into its text.
    int32_t begin = 0;
    int32_t end = 0;
};

struct ParsedMoves {
    bool ok = false;
    std::vector<WrittenMove> moves;
    std::string error;  // what is wrong, when !ok
};

ParsedMoves parseMoves(std::string_view text);

// The cell of the tile that move slides into the blank at cell blank, -1 when
// it is not a legal move there.
int32_t moveCell(const Board& board, int32_t blank, WrittenMove move);

// The letter of the tile in cell `from` sliding into the blank at cell blank.
char directionOfMove(int32_t blank, int32_t from);

}  // namespace fifteen
