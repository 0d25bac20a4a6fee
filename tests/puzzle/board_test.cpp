#include "puzzle/board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace fifteen {
namespace {

TEST(BoardKey, GoalPacksToItsNibbleOrder) {
    EXPECT_EQ(packBoard(goalBoard), 0x123456789ABCDEF0ULL);
    EXPECT_EQ(goalKey, packBoard(goalBoard));
    Board board{};
    EXPECT_EQ(unpackBoard(goalKey, board), 15);
    EXPECT_EQ(board, goalBoard);
}

TEST(BoardKey, CellZeroIsTheMostSignificantNibble) {
    Board board{};
    board[0] = 0xA;
    EXPECT_EQ(packBoard(board), 0xA000000000000000ULL);
    board[0] = 0;
    board[15] = 0x3;
    EXPECT_EQ(packBoard(board), 0x3ULL);
}

TEST(BoardKey, UnpackReturnsBlankInCellZero) {
    Board board{};
    EXPECT_EQ(unpackBoard(0x0123456789ABCDEFULL, board), 0);
    EXPECT_EQ(board[1], 1);
    EXPECT_EQ(board[15], 15);
}

TEST(BoardKey, RoundTripsRandomPermutations) {
    std::mt19937 rng(7);
    Board board = goalBoard;
    for (int i = 0; i < 1000; ++i) {
        std::shuffle(board.begin(), board.end(), rng);
        Board back{};
        const int blank = unpackBoard(packBoard(board), back);
        EXPECT_EQ(back, board);
        ASSERT_GE(blank, 0);
        EXPECT_EQ(board[static_cast<size_t>(blank)], 0);
    }
}

TEST(Neighbors, AreSymmetricAndInUpRightDownLeftOrder) {
    for (int cell = 0; cell < 16; ++cell) {
        const auto c = static_cast<size_t>(cell);
        int expected = 0;
        std::array<int, 4> order{};
        if (cell >= 4) order[static_cast<size_t>(expected++)] = cell - 4;
        if (cell % 4 != 3) order[static_cast<size_t>(expected++)] = cell + 1;
        if (cell < 12) order[static_cast<size_t>(expected++)] = cell + 4;
        if (cell % 4 != 0) order[static_cast<size_t>(expected++)] = cell - 1;
        ASSERT_EQ(neighborCount[c], expected) << "cell " << cell;
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(neighbors[c][static_cast<size_t>(k)],
                      k < expected ? order[static_cast<size_t>(k)] : 0)
                << "cell " << cell << " entry " << k;
        }
    }
}

TEST(Solvability, ParityOfTheExampleBoards) {
    EXPECT_EQ(solvabilityParity(goalBoard), 0);
    EXPECT_TRUE(isSolvable(goalBoard));

    Board swapped = goalBoard;
    std::swap(swapped[13], swapped[14]);
    EXPECT_EQ(solvabilityParity(swapped), 1);
    EXPECT_FALSE(isSolvable(swapped));

    Board ordered{};
    for (int i = 0; i < 16; ++i) ordered[static_cast<size_t>(i)] = i;
    EXPECT_EQ(solvabilityParity(ordered), 3);
    applyMove(ordered, 0, 4);  // tile 4 slides up
    EXPECT_EQ(solvabilityParity(ordered), 5);
}

TEST(Solvability, ParityIsUnchangedAlongRandomMoves) {
    std::mt19937 rng(11);
    for (int start = 0; start < 20; ++start) {
        Board board = goalBoard;
        std::shuffle(board.begin(), board.end(), rng);
        const int parity = solvabilityParity(board) % 2;
        int blank = 0;
        while (board[static_cast<size_t>(blank)] != 0) ++blank;
        for (int step = 0; step < 200; ++step) {
            const auto b = static_cast<size_t>(blank);
            const int n = neighbors[b][rng() % static_cast<unsigned>(neighborCount[b])];
            applyMove(board, blank, n);
            blank = n;
            ASSERT_EQ(solvabilityParity(board) % 2, parity);
        }
    }
}

TEST(Validity, RejectsRepeatedMissingAndOutOfRangeValues) {
    EXPECT_TRUE(isValidBoard(goalBoard));
    Board repeated = goalBoard;
    repeated[0] = 2;
    EXPECT_FALSE(isValidBoard(repeated));
    Board noBlank = goalBoard;
    noBlank[15] = 1;
    EXPECT_FALSE(isValidBoard(noBlank));
    Board outOfRange = goalBoard;
    outOfRange[3] = 16;
    EXPECT_FALSE(isValidBoard(outOfRange));
    Board negative = goalBoard;
    negative[3] = -1;
    EXPECT_FALSE(isValidBoard(negative));
}

}  // namespace
}  // namespace fifteen
