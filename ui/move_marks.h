#pragma once

// Show optimal moves: the marks over the movable tiles of an analysed board and
// the line the output box shows with them.

#include <string>

#include "search/move_analysis.h"
#include "ui/platform.h"

namespace fifteen::ui {

// Each legal move's tile marked optimal or costly in its cell; none unless the
// analysis is solved.
BoardMarks marksOf(const MoveAnalysis& analysis);

// "Optimal moves: 12 (left), 7 (up); 54 moves to go"; the goal itself gives
// "Optimal moves: none; 0 moves to go".
std::string marksLine(const MoveAnalysis& analysis);

}  // namespace fifteen::ui
