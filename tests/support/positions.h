#pragma once

// Positions as the command line takes them, for tests that pass them as text.

#include <string>

#include "puzzle/board.h"

namespace fifteen::test_support {

// The sixteen cells in reading order, separated by single spaces.
std::string positionText(const Board& board);
// Korf's instance number (1..100, puzzle/standard_instances.h) in that form.
std::string standardInstanceText(int number);

}  // namespace fifteen::test_support
