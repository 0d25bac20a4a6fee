#pragma once

// Interface sketch agreed between the pattern-database and search work; the
// pattern-database implementation owns this file and may refine it, keeping
// the names below.

#include <cstdint>

#include "puzzle/board.h"

namespace fifteen {

inline constexpr int32_t patternStateCount = 12'108'096;  // 16 * C(15,5) * C(10,5)

// One byte per PdbIndex: the distance of that pattern state from the goal pattern.
// A null entries pointer means "not allocated".
struct PatternDb {
    uint8_t* entries;
};

// The program's two databases (allocated at start-up, freed at exit).
extern PatternDb patternDbA;
extern PatternDb patternDbB;

// The larger of the two database entries of the board; maxDepth receives the
// largest distance of the database that supplied it (database B on a tie).
// Requires both databases to be built.
int32_t lookupPatternDbs(const Board& board, int32_t& maxDepth);

}  // namespace fifteen
