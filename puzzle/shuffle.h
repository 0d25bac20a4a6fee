#pragma once

#include <cstdint>

#include "puzzle/board.h"

namespace fifteen {

// The random source of shuffleBoard: a linear congruential generator with 32-bit
// state, s = s * 214013 + 2531011, result (s >> 16) & 0x7FFF. Its sequence is part of
// the program's behaviour: the same seed gives the same shuffles. Not thread-safe;
// only the thread that shuffles uses it.
void seedRandom(uint32_t seed);
int nextRandom();

// Replaces the board by a random solvable arrangement: a Fisher-Yates pass from the
// last cell down, repeated on the board as it stands until the parity is even.
void shuffleBoard(Board& board);

}  // namespace fifteen
