#include "puzzle/shuffle.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace fifteen {
namespace {

TEST(Random, MatchesTheLinearCongruentialSequence) {
    // The classic generator s = s * 214013 + 2531011, (s >> 16) & 0x7FFF from seed 1.
    seedRandom(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected) EXPECT_EQ(nextRandom(), value);
}

TEST(Shuffle, FollowsOneFisherYatesPassPerTry) {
    seedRandom(12345);
    std::vector<int> draws;
    for (int i = 0; i < 15 * 8; ++i) draws.push_back(nextRandom());

    // Replay the passes by hand from the same draws until the parity is even.
    Board expected = goalBoard;
    size_t used = 0;
    do {
        for (int i = 15; i >= 1; --i) {
            const int k = draws[used++] * (i + 1) / 32768;
            std::swap(expected[static_cast<size_t>(i)], expected[static_cast<size_t>(k)]);
        }
    } while (solvabilityParity(expected) % 2 != 0 && used + 15 <= draws.size());

    seedRandom(12345);
    Board board = goalBoard;
    shuffleBoard(board);
    EXPECT_EQ(board, expected);
}

TEST(Shuffle, SameSeedSameBoardsAndAlwaysSolvable) {
    std::vector<Board> first;
    seedRandom(2026);
    Board board = goalBoard;
    for (int i = 0; i < 200; ++i) {
        shuffleBoard(board);
        ASSERT_TRUE(isValidBoard(board));
        ASSERT_EQ(solvabilityParity(board) % 2, 0);
        first.push_back(board);
    }
    seedRandom(2026);
    board = goalBoard;
    for (int i = 0; i < 200; ++i) {
        shuffleBoard(board);
        ASSERT_EQ(board, first[static_cast<size_t>(i)]) << "shuffle " << i;
    }
    std::set<BoardKey> distinct;
    for (const Board& b : first) distinct.insert(packBoard(b));
    EXPECT_GT(distinct.size(), 190u);
}

}  // namespace
}  // namespace fifteen
