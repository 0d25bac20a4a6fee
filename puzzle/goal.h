#pragma once

// The two goals positions are written for. This program searches towards
// goalBoard (tiles 1..15 row by row, the blank last); much of the literature,
// Korf's instances among them, writes positions for the blank first
// (0 1 2 ... 15). A half turn of the board (cell c -> 15 - c) with the tiles
// relabelled (v -> 16 - v, the blank staying 0) carries one goal onto the other
// and every move onto a move, so the same tables solve both: a position for the
// blank first is turned, solved, and its moves turned back.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "puzzle/board.h"

namespace fifteen {

enum class Goal { blankLast, blankFirst };

inline constexpr Board blankFirstGoalBoard = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

const Board& goalBoardOf(Goal goal);

// "blank-last" or "blank-first"; parseGoal reads them back (nullopt otherwise).
const char* goalName(Goal goal);
std::optional<Goal> parseGoal(std::string_view name);

// The tile's number on the turned board: 16 - tile for 1..15, 0 stays 0.
constexpr int32_t turnedTile(int32_t tile) {
    return tile == 0 ? 0 : 16 - tile;
}
static_assert(turnedTile(1) == 15 && turnedTile(15) == 1 && turnedTile(0) == 0);

// The half turn with the relabelling. Its own inverse; maps blankFirstGoalBoard
// to goalBoard, and a board one move from one to a board one move from the other.
Board turnedBoard(const Board& board);

// board, written for goal, as the search sees it (for goalBoard).
Board boardForSearch(const Board& board, Goal goal);
// The tiles of a solution the search found for boardForSearch(board, goal),
// numbered as board numbers them: the same tiles in the same order.
std::vector<int32_t> movesForGoal(const std::vector<int32_t>& searchMoves, Goal goal);

}  // namespace fifteen
