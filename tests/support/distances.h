#pragma once

// Exact distances by breadth-first search, the oracle of everything that counts
// moves: from the goal the numbers of positions at distances 0, 1, 2, ... are
// the published 1, 2, 4, 10, 24, 54, 107, 212, 446, 946, 1948, 3938, 7808.

#include <cstdint>
#include <unordered_map>

#include "puzzle/board.h"

namespace fifteen::test_support {

// The distance from centre of every position within radius moves of it.
std::unordered_map<BoardKey, int32_t> positionsWithin(const Board& centre, int32_t radius);
// The same around the goal: the distance to the goal of every position within
// maxDepth moves.
std::unordered_map<BoardKey, int32_t> positionsWithin(int32_t maxDepth);

}  // namespace fifteen::test_support
