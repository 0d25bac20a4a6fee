#pragma once

// Moves played on boards: random walks from the goal and replays of solutions.
// A move is named by the tile that slides into the blank.

#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "puzzle/board.h"

namespace fifteen::test_support {

// The cell of the blank, -1 when the board holds none.
int32_t blankCell(const Board& board);

// The tiles of a walk of `moves` moves from the goal that never takes a move
// straight back: each move draws one of the blank's neighbours uniformly from
// random, and draws again while it drew the cell the blank has just left. Tests
// that compare fixed numbers rely on a seed giving the same walk on every run.
std::vector<int32_t> randomWalkTiles(std::mt19937& random, int32_t moves);
// The board that walk reaches.
Board randomWalkFromGoal(std::mt19937& random, int32_t moves);

// Plays the tiles on board in turn; nullopt when one is not next to the blank
// when its turn comes (0 and numbers outside 1..15 never are).
std::optional<Board> replay(Board board, std::span<const int32_t> tiles);
bool replayReachesGoal(const Board& board, std::span<const int32_t> tiles);
// The letters of the moves (the way each tile slides: U, D, L, R), by row and
// column arithmetic independent of the program's replay; "" on an illegal move.
std::string slideLetters(Board board, std::span<const int32_t> tiles);

// The same over the first count tiles of a solution array. replayMoves leaves
// the board reached in board (untouched when a tile was not next to the blank).
bool replayMoves(Board& board, const int32_t* tiles, int32_t count);
bool replayReachesGoal(const Board& board, const int32_t* tiles, int32_t count);

}  // namespace fifteen::test_support
