#pragma once

// Text form of a position: 16 numbers in reading order, the blank as 0, separated
// by spaces, tabs and/or commas; rows may also be separated by '/', in which case
// there must be four rows of four. '#' starts a comment that runs to the end of
// its line. Pure: no I/O, safe on any bytes.

#include <string>
#include <string_view>

#include "puzzle/board.h"

namespace fifteen {

struct ParsedPosition {
    bool ok = false;
    Board board{};
    std::string error;  // what is wrong, when !ok; empty otherwise
};

ParsedPosition parsePosition(std::string_view text);

// "1 2 3 4 / 5 6 7 8 / ..." form of a board; parsePosition reads it back.
std::string formatPosition(const Board& board);

}  // namespace fifteen
