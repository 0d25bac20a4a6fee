#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "puzzle/board.h"

namespace fifteen {

// Plays moves (tile numbers) from start. Fills directions with one letter a move
// for the legal prefix: U, D, L or R, the way the tile slides. True exactly when
// every move is legal and the last one leaves goal.
bool replaySolution(const Board& start, const std::vector<int32_t>& moves, std::string& directions,
                    const Board& goal = goalBoard);

}  // namespace fifteen
