#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace fifteen {

// Cells are numbered row by row from the top left: cell = 4 * row + column.
// A cell holds a tile 1..15 or 0 for the blank; every value 0..15 occurs once.
using Board = std::array<int32_t, 16>;

// A Board at 4 bits per cell, cell 0 in the most significant nibble:
//
//   bits 63..60  59..56  ...  7..4     3..0
//        cell 0  cell 1  ...  cell 14  cell 15
//
// Two boards are equal exactly when their keys are.
using BoardKey = uint64_t;

inline constexpr Board goalBoard = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0};
inline constexpr BoardKey goalKey = 0x123456789ABCDEF0ULL;

// Adjacent cells in the fixed order up, right, down, left, absent directions left
// out; unused entries are 0. This order decides which of several equally short
// solutions is found, so every search walks it exactly as given.
inline constexpr std::array<int32_t, 16> neighborCount = {2, 3, 3, 2, 3, 4, 4, 3,
                                                          3, 4, 4, 3, 2, 3, 3, 2};
inline constexpr std::array<std::array<int32_t, 4>, 16> neighbors = {{
    {1, 4, 0, 0},
    {2, 5, 0, 0},
    {3, 6, 1, 0},
    {7, 2, 0, 0},
    {0, 5, 8, 0},
    {1, 6, 9, 4},
    {2, 7, 10, 5},
    {3, 11, 6, 0},
    {4, 9, 12, 0},
    {5, 10, 13, 8},
    {6, 11, 14, 9},
    {7, 15, 10, 0},
    {8, 13, 0, 0},
    {9, 14, 12, 0},
    {10, 15, 13, 0},
    {11, 14, 0, 0},
}};
static_assert(neighbors[1][2] == 0 && neighborCount[1] == 3);

BoardKey packBoard(const Board& board);

// Fills all 16 cells from the key; returns the lowest-numbered cell holding 0.
int unpackBoard(BoardKey key, Board& board);

// True when every value 0..15 occurs exactly once.
bool isValidBoard(const Board& board);

// Rows between the blank and the bottom row, plus the inversions of the tiles in
// cell order with the blank skipped. Even means solvable. Defined for valid boards.
int solvabilityParity(const Board& board);
bool isSolvable(const Board& board);

// The tile in cell n slides into the blank at cell z (n must neighbour z).
inline void applyMove(Board& board, int z, int n) {
    board[static_cast<std::size_t>(z)] = board[static_cast<std::size_t>(n)];
    board[static_cast<std::size_t>(n)] = 0;
}

}  // namespace fifteen
