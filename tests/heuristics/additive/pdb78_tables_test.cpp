#include "heuristics/additive/pdb78_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

namespace fifteen {
namespace {

// Sparse stand-ins for the full tables: zero pages that are never touched,
// except at the ranks a test sets. The lookup must read exactly the entries of
// the board's two groups and of its reflection's, found here by their
// definitions (the reflected board written out, the generic rank).
class Pdb78Lookup : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        group7 = static_cast<uint8_t*>(std::calloc(groupEntryCount(7), 1));
        group8 = static_cast<uint8_t*>(std::calloc(groupEntryCount(8), 1));
    }
    static void TearDownTestSuite() {
        std::free(group7);
        std::free(group8);
    }

    static uint32_t rankOf(const Board& board, const TileGroup& group) {
        uint8_t cells[maxGroupSize];
        for (int32_t i = 0; i < group.size; ++i) {
            const auto t = group.tiles[static_cast<std::size_t>(i)];
            cells[i] =
                static_cast<uint8_t>(std::find(board.begin(), board.end(), t) - board.begin());
        }
        return rankGroupCells(cells, group.size);
    }

    static uint8_t* group7;
    static uint8_t* group8;
};

uint8_t* Pdb78Lookup::group7 = nullptr;
uint8_t* Pdb78Lookup::group8 = nullptr;

TEST_F(Pdb78Lookup, IsTheLargerSumOverTheBoardAndItsReflection) {
    std::mt19937 rng(78);
    const Pdb78Tables tables{group7, group8};
    for (int k = 0; k < 200; ++k) {
        Board board = goalBoard;
        std::shuffle(board.begin(), board.end(), rng);
        Board reflected{};
        for (std::size_t c = 0; c < 16; ++c) {
            reflected[transposedCell[c]] = transposedTile[static_cast<std::size_t>(board[c])];
        }
        const uint32_t r8 = rankOf(board, groupOf8), r7 = rankOf(board, groupOf7);
        const uint32_t m8 = rankOf(reflected, groupOf8), m7 = rankOf(reflected, groupOf7);
        std::uniform_int_distribution<int> value(0, 40);
        const int a = value(rng), b = value(rng), c = value(rng), d = value(rng);
        group8[r8] = static_cast<uint8_t>(a);
        group7[r7] = static_cast<uint8_t>(b);
        group8[m8] = static_cast<uint8_t>(c);
        group7[m7] = static_cast<uint8_t>(d);
        // The same rank twice (a board symmetric in a group) holds the later value.
        const int direct = group8[r8] + group7[r7];
        const int mirrored = group8[m8] + group7[m7];
        int32_t maxDepth = 0;
        EXPECT_EQ(tables.lookup(board, maxDepth), std::max(direct, mirrored));
        EXPECT_EQ(maxDepth, Pdb78Tables::maxBound);
        group8[r8] = group7[r7] = group8[m8] = group7[m7] = 0;
    }
}

TEST_F(Pdb78Lookup, TheGoalReadsTheGoalEntriesOnly) {
    const Pdb78Tables tables{group7, group8};
    group8[rankOf(goalBoard, groupOf8)] = 5;
    group7[rankOf(goalBoard, groupOf7)] = 7;
    int32_t maxDepth = 0;
    EXPECT_EQ(tables.lookup(goalBoard, maxDepth), 12);
    group8[rankOf(goalBoard, groupOf8)] = 0;
    group7[rankOf(goalBoard, groupOf7)] = 0;
    EXPECT_EQ(tables.lookup(goalBoard, maxDepth), 0);
}

}  // namespace
}  // namespace fifteen
