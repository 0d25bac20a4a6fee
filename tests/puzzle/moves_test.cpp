#include "puzzle/moves.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

namespace fifteen {
namespace {

// A random walk of random tiles, most of them not next to the blank. The oracle
// is the geometry of rows and columns: a tile moves exactly when it is one row or
// one column away from the blank, in the way that difference points, and sliding
// it again takes the move back.
TEST(Moves, ARandomWalkAgreesWithTheGridAndEachMoveTakesItselfBack) {
    std::mt19937 random(11);
    Board board = goalBoard;
    int moved = 0;
    for (int step = 0; step < 2000; ++step) {
        int scanned = 0;
        while (board[static_cast<std::size_t>(scanned)] != 0) ++scanned;
        ASSERT_EQ(blankCell(board), scanned);
        const auto tile = static_cast<int32_t>(1 + random() % 15);
        int from = 0;
        while (board[static_cast<std::size_t>(from)] != tile) ++from;
        const int dRow = scanned / 4 - from / 4;
        const int dColumn = scanned % 4 - from % 4;
        const bool adjacent = std::abs(dRow) + std::abs(dColumn) == 1;
        const char expected = !adjacent     ? '?'
                              : dRow < 0    ? 'U'
                              : dRow > 0    ? 'D'
                              : dColumn < 0 ? 'L'
                                            : 'R';
        const Board before = board;
        const SlideDirection direction = slideTile(board, tile);
        ASSERT_EQ(directionLetter(direction), expected) << "tile " << tile << " at " << from;
        ASSERT_EQ(slideDirection(from, scanned), direction);
        if (!adjacent) {
            ASSERT_EQ(board, before);
            continue;
        }
        ++moved;
        ASSERT_EQ(board[static_cast<std::size_t>(scanned)], tile);
        ASSERT_EQ(blankCell(board), from);
        Board back = board;
        ASSERT_NE(slideTile(back, tile), SlideDirection::none);
        ASSERT_EQ(back, before);
    }
    EXPECT_GT(moved, 200);
}

TEST(Moves, NoBlankAndTheBlankItselfMoveNothing) {
    Board noBlank = goalBoard;
    noBlank[15] = 1;
    EXPECT_EQ(blankCell(noBlank), -1);
    EXPECT_EQ(slideTile(noBlank, 12), SlideDirection::none);
    Board goal = goalBoard;
    EXPECT_EQ(slideTile(goal, 0), SlideDirection::none);
    EXPECT_EQ(goal, goalBoard);
    EXPECT_EQ(slideDirection(3, 4), SlideDirection::none) << "the end of a row is no neighbour";
}

}  // namespace
}  // namespace fifteen
