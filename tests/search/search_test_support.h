#pragma once

// Oracles and fixtures shared by the search tests.

#include <cstdint>
#include <random>
#include <unordered_map>
#include <vector>

#include "puzzle/board.h"

namespace fifteen::testing {

// The process-wide walking-distance table, built on first use.
void requireWdTable();
// All three tables, built once per process by the program's start-up.
void requireAllTables();

// Distance from the goal of every position within maxDepth moves, by
// breadth-first search from the goal.
std::unordered_map<BoardKey, int32_t> positionsWithin(int32_t maxDepth);

// Applies the moves (tile numbers) to board; false if a tile is not next to the
// blank when its turn comes. board holds the position reached.
bool replayMoves(Board& board, const int32_t* moves, int32_t count);
bool replayReachesGoal(Board board, const int32_t* moves, int32_t count);

// The goal after `moves` random moves that never undo the one before.
Board randomWalkFromGoal(std::mt19937& random, int32_t moves);

int32_t blankCell(const Board& board);
int32_t walkingDistance(const Board& board);

}  // namespace fifteen::testing
