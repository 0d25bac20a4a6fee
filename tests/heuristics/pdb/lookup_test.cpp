#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <unordered_map>
#include <vector>

#include "heuristics/pdb/pattern_db.h"
#include "heuristics/pdb/wd_pdb55_tables.h"
#include "search/solver_state.h"
#include "tests/heuristics/pdb/pdb_test_support.h"
#include "tests/support/distances.h"
#include "tests/support/walks.h"

namespace fifteen {
namespace {

using test_support::positionsWithin;
using testing::builtDatabases;
using testing::classify;
using testing::referenceIndex;

int32_t entryA(const Board& board) {
    return builtDatabases().a.entries[referenceIndex(classify(board, classOfTileA))];
}
int32_t entryB(const Board& board) {
    return builtDatabases().b.entries[referenceIndex(classify(board, classOfTileB))];
}

constexpr int32_t goalRadius = 16;

class PdbLookup : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { builtDatabases(); }
    static const std::unordered_map<BoardKey, int32_t>& goalBall() {
        static const auto ball = positionsWithin(goalRadius);
        return ball;
    }
};

// Tiles 4, 6, 7, 10 and 13 are B's other tiles: rearranged among their own goal
// cells they leave B at 0, and A decides as soon as 4 or 13 (A's group tiles) move.
TEST_F(PdbLookup, RearrangingTheOtherTilesOfBLeavesAToDecide) {
    int32_t goalDepth = -1;
    EXPECT_EQ(WdPdb55Tables{}.lookup(goalBoard, goalDepth), 0);
    EXPECT_EQ(goalDepth, 58) << "a tie at the goal goes to B";
    EXPECT_EQ(solverState.maxDepthB, 58);

    std::array<int32_t, 5> tiles = {4, 6, 7, 10, 13};
    const std::array<std::size_t, 5> cells = {3, 5, 6, 9, 12};
    int32_t permutations = 0;
    do {
        Board board = goalBoard;
        for (std::size_t i = 0; i < 5; ++i) board[cells[i]] = tiles[i];
        int32_t maxDepth = -1;
        const int32_t bound = WdPdb55Tables{}.lookup(board, maxDepth);
        EXPECT_EQ(entryB(board), 0);
        if (board[3] == 4 && board[12] == 13) {
            EXPECT_EQ(bound, 0);
            EXPECT_EQ(maxDepth, 58);
        } else {
            EXPECT_GT(bound, 0);
            EXPECT_EQ(bound, entryA(board));
            EXPECT_EQ(maxDepth, 56);
        }
        ++permutations;
    } while (std::next_permutation(tiles.begin(), tiles.end()));
    EXPECT_EQ(permutations, 120);
}

// The lookup's scan of the board against the index by its definition, for both
// databases: random boards, and boards whose tiles of one class all come first or
// all come last (the scan runs on past the last cell that counts).
TEST_F(PdbLookup, BoardRanksAreThePatternIndexes) {
    std::mt19937 rng(23);
    const auto check = [](const Board& board) {
        const PdbIndexPair index = rankBoardPatterns(board);
        ASSERT_EQ(index.a, referenceIndex(classify(board, classOfTileA))) << packBoard(board);
        ASSERT_EQ(index.b, referenceIndex(classify(board, classOfTileB))) << packBoard(board);
    };
    Board board = goalBoard;
    for (int i = 0; i < 20'000; ++i) {
        std::shuffle(board.begin(), board.end(), rng);
        check(board);
    }
    for (const auto* classOfTile : {&classOfTileA, &classOfTileB}) {
        for (TileClass c = classBlank; c <= classOther; ++c) {
            for (const bool first : {true, false}) {
                for (int i = 0; i < 200; ++i) {
                    std::shuffle(board.begin(), board.end(), rng);
                    std::stable_partition(board.begin(), board.end(), [&](int32_t tile) {
                        return ((*classOfTile)[static_cast<std::size_t>(tile)] == c) == first;
                    });
                    check(board);
                }
            }
        }
    }
}

// The larger entry wins and names its database; a tie names B. Distinct maximum
// depths show which database was named.
TEST_F(PdbLookup, LargerEntryWinsAndTiesGoToB) {
    const auto& dbs = builtDatabases();
    // Largest depths that name the database they came from.
    const PatternDb a111{dbs.a.entries, 111};
    const PatternDb b222{dbs.b.entries, 222};
    int32_t aWins = 0;
    int32_t bWins = 0;
    int32_t ties = 0;
    std::mt19937 rng(17);
    for (int walk = 0; walk < 3000; ++walk) {
        Board board = goalBoard;
        int32_t z = 15;
        for (int move = 0; move < 40; ++move) {
            const auto count = static_cast<uint32_t>(neighborCount[static_cast<std::size_t>(z)]);
            const int32_t nb = neighbors[static_cast<std::size_t>(z)][rng() % count];
            applyMove(board, z, nb);
            z = nb;
        }
        const int32_t a = entryA(board);
        const int32_t b = entryB(board);
        int32_t maxDepth = -1;
        const int32_t bound = lookupPatternDbs(board, a111, b222, maxDepth);
        ASSERT_EQ(bound, std::max(a, b));
        ASSERT_EQ(maxDepth, a > b ? 111 : 222) << a << " vs " << b;
        aWins += a > b;
        bWins += b > a;
        ties += a == b && a > 0;
    }
    EXPECT_GT(aWins, 0);
    EXPECT_GT(bWins, 0);
    EXPECT_GT(ties, 0);
}

// Against exact distances: every board within 16 moves of the goal, and boards
// of random walks farther out.
TEST_F(PdbLookup, NeverExceedsTheTrueDistance) {
    // The oracle itself: published numbers of boards at distances 0..12.
    const int64_t published[] = {1, 2, 4, 10, 24, 54, 107, 212, 446, 946, 1948, 3938, 7808};
    std::array<int64_t, goalRadius + 1> perDistance{};
    int32_t maxDepth = 0;
    for (const auto& [key, distance] : goalBall()) {
        ++perDistance[static_cast<std::size_t>(distance)];
        Board board{};
        unpackBoard(key, board);
        const int32_t bound = WdPdb55Tables{}.lookup(board, maxDepth);
        ASSERT_LE(bound, distance) << std::hex << key;
        ASSERT_EQ(bound % 2, distance % 2) << "a move changes each entry by one";
    }
    for (std::size_t d = 0; d < std::size(published); ++d) EXPECT_EQ(perDistance[d], published[d]);

    // Boards 28 random moves out, mostly beyond the ball: their exact distance is
    // the best way through a board of the goal ball within 12 moves of them.
    constexpr int32_t walkRadius = 12;
    std::mt19937 rng(99);
    int32_t farther = 0;
    for (int walk = 0; walk < 30; ++walk) {
        const Board board = test_support::randomWalkFromGoal(rng, goalRadius + walkRadius);
        int32_t distance = 1000;
        for (const auto& [key, d] : positionsWithin(board, walkRadius)) {
            const auto found = goalBall().find(key);
            if (found != goalBall().end()) distance = std::min(distance, d + found->second);
        }
        ASSERT_LE(distance, goalRadius + walkRadius);
        farther += distance > goalRadius;
        EXPECT_LE(WdPdb55Tables{}.lookup(board, maxDepth), distance);
    }
    EXPECT_GT(farther, 0) << "no walk left the ball";
}

}  // namespace
}  // namespace fifteen
