#include "heuristics/wd/wd_eval.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "puzzle/board.h"
#include "tests/heuristics/wd/wd_test_support.h"
#include "tests/support/walks.h"

namespace fifteen {
namespace {

Board boardOf(std::initializer_list<int32_t> cells) {
    Board b{};
    std::copy(cells.begin(), cells.end(), b.begin());
    return b;
}

struct ExampleBoard {
    const char* name;
    Board board;
    int32_t rowDistance;
    int32_t columnDistance;
    int32_t rowRecord;  // -1 where only the distance is known
    int32_t columnRecord;
};

void PrintTo(const ExampleBoard& e, std::ostream* os) {
    *os << e.name;
}

class WdExampleBoard : public ::testing::TestWithParam<ExampleBoard> {};

TEST_P(WdExampleBoard, LooksUpBothViews) {
    const WdTable& table = wdtest::builtTable();
    const ExampleBoard& e = GetParam();
    const WdRecord* row = findRowRecord(table, e.board);
    const WdRecord* column = findColumnRecord(table, e.board);
    ASSERT_NE(row, nullptr);
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(row->distance, e.rowDistance);
    EXPECT_EQ(column->distance, e.columnDistance);
    if (e.rowRecord >= 0) {
        EXPECT_EQ(wdLinkOf(table, row), e.rowRecord);
    }
    if (e.columnRecord >= 0) {
        EXPECT_EQ(wdLinkOf(table, column), e.columnRecord);
    }
    const WdPair pair{wdPackedLinkOf(table, *row), wdPackedLinkOf(table, *column)};
    EXPECT_EQ(wdValue(pair), e.rowDistance + e.columnDistance);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, WdExampleBoard,
    ::testing::Values(
        ExampleBoard{"goal", goalBoard, 0, 0, 0, 0},
        ExampleBoard{"blankUp", boardOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0, 13, 14, 15, 12}), 1,
                     0, 1, 0},
        ExampleBoard{"blankLeft", boardOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 15}),
                     0, 1, 0, 1},
        ExampleBoard{"swap14and15", boardOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14, 0}),
                     0, 4, 0, -1},
        ExampleBoard{"reversed", boardOf({15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}),
                     32, 24, -1, -1}),
    [](const ::testing::TestParamInfo<ExampleBoard>& p) { return std::string(p.param.name); });

TEST(WdLookup, GoalBoardPacksToTheGoalPatternInBothViews) {
    EXPECT_EQ(rowPattern(goalBoard), wdGoalPattern);
    EXPECT_EQ(columnPattern(goalBoard), wdGoalPattern);
}

// The column view is the row view of the board mirrored on its main diagonal, with
// each tile renamed to the tile whose goal cell is the mirror of its own.
TEST(WdLookup, ColumnViewIsTheRowViewOfTheTransposedBoard) {
    std::mt19937 rng(11);
    Board board = goalBoard;
    for (int i = 0; i < 500; ++i) {
        std::shuffle(board.begin(), board.end(), rng);
        Board mirrored{};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                const int32_t t = board[static_cast<size_t>(4 * r + c)];
                const int32_t renamed = t == 0 ? 0 : 4 * ((t - 1) % 4) + (t - 1) / 4 + 1;
                mirrored[static_cast<size_t>(4 * c + r)] = renamed;
            }
        ASSERT_EQ(columnPattern(board), rowPattern(mirrored)) << "board " << i;
    }
}

// Solvable or not, every arrangement has both patterns stored, and its value is 0
// only for the goal.
TEST(WdLookup, FindsBothRecordsOfRandomArrangements) {
    const WdTable& table = wdtest::builtTable();
    std::mt19937 rng(3);
    Board board = goalBoard;
    int unsolvable = 0;
    for (int i = 0; i < 300; ++i) {
        std::shuffle(board.begin(), board.end(), rng);
        unsolvable += isSolvable(board) ? 0 : 1;
        const WdRecord* row = findRowRecord(table, board);
        const WdRecord* column = findColumnRecord(table, board);
        ASSERT_NE(row, nullptr) << "board " << i;
        ASSERT_NE(column, nullptr) << "board " << i;
        EXPECT_EQ(row->pattern, rowPattern(board));
        EXPECT_EQ(column->pattern, columnPattern(board));
        if (board != goalBoard) {
            EXPECT_GT(row->distance + column->distance, 0);
        }
    }
    EXPECT_GT(unsolvable, 0);
}

TEST(WdLookup, MissingPatternGivesNull) {
    const WdTable& table = wdtest::builtTable();
    EXPECT_EQ(findWdRecord(table, 0), nullptr);
    // Every line holding four tiles of goal line 0 breaks the column totals.
    EXPECT_EQ(findWdRecord(table, 0x800800800800ULL), nullptr);
    Board repeated = goalBoard;
    repeated[1] = 5;  // five tiles of goal row 1, three of goal row 0
    EXPECT_EQ(findRowRecord(table, repeated), nullptr);
    Board outOfRange = goalBoard;
    outOfRange[0] = 200;
    EXPECT_EQ(findRowRecord(table, outOfRange), nullptr);
    EXPECT_EQ(findColumnRecord(table, outOfRange), nullptr);
    EXPECT_EQ(wdLinkOf(table, nullptr), wdNoLink);
}

TEST(WdLookup, ScanStopsAtTheRecordCount) {
    const WdTable& full = wdtest::builtTable();
    auto partial = std::make_unique<WdTable>(full);
    partial->recordCount = 1;
    EXPECT_EQ(findWdRecord(*partial, wdGoalPattern), &partial->records[0]);
    EXPECT_EQ(findWdRecord(*partial, full.records[1].pattern), nullptr);
}

// Walks random moves from random boards of both parities; after every move the
// pair carried by the successor rule must equal fresh lookups, and the value must
// change by exactly one (each view changes by one relaxed move or not at all).
TEST(WdSuccessor, CarriedPairEqualsFreshLookups) {
    const WdTable& table = wdtest::builtTable();
    std::mt19937 rng(5);
    Board board = goalBoard;
    int solvableStarts = 0;
    for (int walk = 0; walk < 40; ++walk) {
        std::shuffle(board.begin(), board.end(), rng);
        solvableStarts += isSolvable(board) ? 1 : 0;
        const WdRecord* row = findRowRecord(table, board);
        const WdRecord* column = findColumnRecord(table, board);
        ASSERT_NE(row, nullptr);
        ASSERT_NE(column, nullptr);
        WdPair pair{wdPackedLinkOf(table, *row), wdPackedLinkOf(table, *column)};
        int z = test_support::blankCell(board);
        for (int step = 0; step < 200; ++step) {
            const auto zc = static_cast<size_t>(z);
            const int n = neighbors[zc][rng() % static_cast<unsigned>(neighborCount[zc])];
            const int t = board[static_cast<size_t>(n)];
            const int32_t before = wdValue(pair);
            pair = wdSuccessor(table, pair, z, n, t);
            applyMove(board, z, n);
            z = n;
            // The whole packed link, distance bits included, must be the fresh one.
            row = findRowRecord(table, board);
            column = findColumnRecord(table, board);
            ASSERT_NE(row, nullptr) << "walk " << walk << " step " << step;
            ASSERT_NE(column, nullptr) << "walk " << walk << " step " << step;
            ASSERT_EQ(pair.row, wdPackedLinkOf(table, *row)) << "walk " << walk << " step " << step;
            ASSERT_EQ(pair.column, wdPackedLinkOf(table, *column))
                << "walk " << walk << " step " << step;
            const int32_t change = wdValue(pair) - before;
            ASSERT_TRUE(change == 1 || change == -1) << "walk " << walk << " step " << step;
        }
    }
    EXPECT_GT(solvableStarts, 0);
    EXPECT_LT(solvableStarts, 40);
}

// The value of a pair of links is the sum of the two records' distances, for
// random pairs and for the records of largest offset and of largest distance.
TEST(WdValue, IsTheSumOfBothRecordsDistances) {
    const WdTable& table = wdtest::builtTable();
    const auto count = static_cast<uint32_t>(table.recordCount);
    std::vector<std::size_t> records = {0, count - 1, count - 2};
    for (std::size_t r = 0; r < count; ++r) {
        if (table.records[r].distance >= 34) records.push_back(r);
    }
    std::mt19937 rng(61);
    for (int i = 0; i < 20'000; ++i) records.push_back(rng() % count);
    for (const std::size_t a : records) {
        const std::size_t b = records[rng() % records.size()];
        const WdPair pair{wdPackedLinkOf(table, a), wdPackedLinkOf(table, b)};
        ASSERT_EQ(wdValue(pair), table.records[a].distance + table.records[b].distance)
            << a << " " << b;
        ASSERT_EQ(wdPackedRecord(pair.row), a);
        ASSERT_EQ(wdPackedRecord(pair.column), b);
    }
}

// Breadth-first search of the real puzzle from the goal: its level sizes are
// published, and no position may have a walking distance above its true distance
// or of the other parity.
TEST(WdAdmissibility, NeverExceedsTheTrueDistanceNearTheGoal) {
    const WdTable& table = wdtest::builtTable();
    const std::vector<int> published = {1,   2,   4,    10,   24,   54,    107,  212,
                                        446, 946, 1948, 3938, 7808, 15544, 30821};
    std::unordered_map<BoardKey, int> seen{{goalKey, 0}};
    std::vector<BoardKey> level{goalKey};
    for (int depth = 0; depth < static_cast<int>(published.size()); ++depth) {
        ASSERT_EQ(static_cast<int>(level.size()), published[static_cast<size_t>(depth)])
            << "depth " << depth;
        std::vector<BoardKey> next;
        for (const BoardKey key : level) {
            Board board{};
            const int z = unpackBoard(key, board);
            const WdRecord* row = findRowRecord(table, board);
            const WdRecord* column = findColumnRecord(table, board);
            ASSERT_NE(row, nullptr);
            ASSERT_NE(column, nullptr);
            const int32_t wd =
                wdValue({wdPackedLinkOf(table, *row), wdPackedLinkOf(table, *column)});
            EXPECT_LE(wd, depth) << std::hex << key;
            EXPECT_EQ((depth - wd) % 2, 0) << std::hex << key;
            const auto zc = static_cast<size_t>(z);
            for (int k = 0; k < neighborCount[zc]; ++k) {
                Board after = board;
                applyMove(after, z, neighbors[zc][static_cast<size_t>(k)]);
                const BoardKey afterKey = packBoard(after);
                if (seen.emplace(afterKey, depth + 1).second) next.push_back(afterKey);
            }
        }
        level.swap(next);
    }
}

}  // namespace
}  // namespace fifteen
