#include "search/depth_first_search.h"
#include "heuristics/pdb/wd_pdb55_tables.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <random>
#include <thread>

#include "heuristics/wd/wd_eval.h"
#include "puzzle/standard_instances.h"
#include "search/solver_state.h"
#include "search_test_support.h"

namespace fifteen {
namespace {

using testing::blankCell;
using testing::walkingDistance;

struct Root {
    Board board;
    int32_t blank;
    const WdRecord* row;
    const WdRecord* column;
};

Root rootOf(const Board& board) {
    testing::requireWdTable();
    return {board, blankCell(board), findRowRecord(wdTable, board),
            findColumnRecord(wdTable, board)};
}

// Walking distance alone: no pattern-database lookups anywhere.
int32_t searchWd(Root& root, int32_t prevBlank, int32_t bound, int32_t* path,
                 SearchContext& context) {
    return depthFirstSearch(WdPdb55Tables{}, root.board, root.blank, prevBlank, *root.row,
                            *root.column, 0, bound, neverCheckDepth, path, context);
}

// A plain transcription of the search that evaluates every child afresh instead
// of following links; its node count and result must match the real search's.
struct ReferenceSearch {
    uint64_t nodes = 0;
    std::array<int32_t, solutionCapacity> path{};

    int32_t run(Board& board, int32_t blank, int32_t prevBlank, int32_t depth, int32_t bound) {
        ++nodes;
        const auto b = static_cast<std::size_t>(blank);
        for (std::size_t k = 0; k < static_cast<std::size_t>(neighborCount[b]); ++k) {
            const int n = neighbors[b][k];
            if (n == prevBlank) continue;
            const int32_t tile = board[static_cast<std::size_t>(n)];
            applyMove(board, blank, n);
            const int32_t w = walkingDistance(board);
            int32_t r = searchNotFound;
            if (depth + 1 + w <= bound) {
                r = w == 0 ? searchFound : run(board, n, blank, depth + 1, bound);
            }
            applyMove(board, n, blank);
            if (r == searchFound) {
                path[static_cast<std::size_t>(depth)] = tile;
                return r;
            }
        }
        return searchNotFound;
    }
};

class DepthFirstSearchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::requireWdTable();
        bestLength.store(noSolutionLength);
        context = {&bestLength, 0};
        path.fill(-7);
    }
    std::atomic<int32_t> bestLength{noSolutionLength};
    SearchContext context{};
    std::array<int32_t, solutionCapacity> path{};
};

// Goal with the blank moved up: tile 12 in cell 15, blank in cell 11.
Board oneMoveUp() {
    Board board = goalBoard;
    applyMove(board, 15, 11);
    return board;
}

TEST_F(DepthFirstSearchTest, TheMoveBackIntoPrevBlankIsNeverGenerated) {
    // The only one-move solution is the move back into cell 15.
    Root root = rootOf(oneMoveUp());
    EXPECT_EQ(searchWd(root, 15, 1, path.data(), context), searchNotFound);
    // Three moves would need the move back at depth 1 or 2: 8 down, 8 up, 12 left.
    EXPECT_EQ(searchWd(root, 15, 3, path.data(), context), searchNotFound);
    EXPECT_EQ(path[0], -7);
    EXPECT_EQ(searchWd(root, 7, 1, path.data(), context), searchFound);
    EXPECT_EQ(path[0], 12);
    EXPECT_EQ(searchWd(root, -1, 1, path.data(), context), searchFound);
    EXPECT_EQ(path[0], 12);
}

TEST_F(DepthFirstSearchTest, ARootWithoutPrevBlankTriesEveryMoveOfItsCell) {
    // Bound 1 from a position at walking distance 1: the root's call plus none of
    // its children (each child is at distance 0 or 2), so the count is 1 and every
    // child's test is made; the goal child is found whichever its slot.
    for (int32_t blank : {11, 14}) {
        Board board = goalBoard;
        applyMove(board, 15, blank);
        Root root = rootOf(board);
        context.nodes = 0;
        ASSERT_EQ(searchWd(root, -1, 1, path.data(), context), searchFound);
        EXPECT_EQ(context.nodes, 1u);
        EXPECT_EQ(path[0], board[15]);
    }
}

TEST_F(DepthFirstSearchTest, AGoalChildBeyondTheBoundIsNotReported) {
    Root root = rootOf(oneMoveUp());
    EXPECT_EQ(searchWd(root, -1, 0, path.data(), context), searchNotFound);
    EXPECT_EQ(path[0], -7);
}

TEST_F(DepthFirstSearchTest, StopsWhenTheBoundReachesBestLength) {
    Root root = rootOf(oneMoveUp());
    for (int32_t best : {1, 0, cancelRequest}) {
        bestLength.store(best);
        EXPECT_EQ(searchWd(root, -1, 1, path.data(), context), searchStopped) << best;
        EXPECT_EQ(path[0], -7);
    }
    bestLength.store(2);
    EXPECT_EQ(searchWd(root, -1, 1, path.data(), context), searchFound);
}

TEST_F(DepthFirstSearchTest, MatchesAReferenceSearchNodeForNode) {
    std::mt19937 random(2024);
    for (int trial = 0; trial < 24; ++trial) {
        const Board board = testing::randomWalkFromGoal(random, 20 + trial);
        Root root = rootOf(board);
        const int32_t wd = walkingDistance(board);
        for (int32_t bound = wd; bound <= wd + 6; bound += 2) {
            ReferenceSearch reference;
            Board copy = board;
            const int32_t expected = reference.run(copy, root.blank, -1, 0, bound);
            context.nodes = 0;
            const int32_t result = searchWd(root, -1, bound, path.data(), context);
            ASSERT_EQ(result, expected) << "trial " << trial << " bound " << bound;
            ASSERT_EQ(context.nodes, reference.nodes) << "trial " << trial << " bound " << bound;
            if (result == searchFound) {
                for (std::size_t i = 0; i < static_cast<std::size_t>(bound); ++i) {
                    ASSERT_EQ(path[i], reference.path[i]);
                }
                break;
            }
        }
    }
}

TEST_F(DepthFirstSearchTest, RestoresTheBoardFoundOrNot) {
    std::mt19937 random(11);
    for (int trial = 0; trial < 10; ++trial) {
        const Board board = testing::randomWalkFromGoal(random, 30);
        Root root = rootOf(board);
        const int32_t wd = walkingDistance(board);
        for (int32_t bound = wd;; bound += 2) {
            const int32_t r = searchWd(root, -1, bound, path.data(), context);
            ASSERT_EQ(root.board, board) << "result " << r;
            if (r == searchFound) {
                EXPECT_TRUE(testing::replayReachesGoal(board, path.data(), bound));
                break;
            }
        }
    }
}

// Korf's instance 67 (this program's orientation): 50 moves against a walking
// distance of 30, so an iteration at bound 48 on walking distance alone runs for
// minutes, far longer than the wait below.
constexpr Board longSearchBoard = standardInstance(67).board;

TEST_F(DepthFirstSearchTest, ACancelUnwindsEveryLevelAndRestoresTheBoard) {
    Root root = rootOf(longSearchBoard);
    const int32_t bound = 48;
    std::thread canceller([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        bestLength.store(cancelRequest, std::memory_order_relaxed);
    });
    const int32_t r = searchWd(root, -1, bound, path.data(), context);
    canceller.join();
    EXPECT_EQ(r, searchStopped);
    EXPECT_GT(context.nodes, 1u);
    EXPECT_EQ(root.board, longSearchBoard);
    for (int32_t entry : path) EXPECT_EQ(entry, -7);
}

TEST_F(DepthFirstSearchTest, FindsOptimalLengthsOfABreadthFirstOracle) {
    const auto distance = testing::positionsWithin(12);
    std::mt19937 random(3);
    int checked = 0;
    for (const auto& [key, length] : distance) {
        if (random() % 40 != 0) continue;
        Board board{};
        unpackBoard(key, board);
        Root root = rootOf(board);
        int32_t bound = walkingDistance(board);
        while (searchWd(root, -1, bound, path.data(), context) == searchNotFound) bound += 2;
        ASSERT_EQ(bound, length);
        ASSERT_TRUE(testing::replayReachesGoal(board, path.data(), bound));
        ++checked;
    }
    EXPECT_GT(checked, 300);
}

TEST(BreadthFirstOracle, CountsThePublishedPositionsAtEachDistance) {
    const auto distance = testing::positionsWithin(12);
    const std::array<int, 13> published = {1,   2,   4,   10,   24,   54,  107,
                                           212, 446, 946, 1948, 3938, 7808};
    std::array<int, 13> counted{};
    for (const auto& entry : distance) ++counted[static_cast<std::size_t>(entry.second)];
    EXPECT_EQ(counted, published);
}

struct ScheduleCase {
    int32_t lookupDepth, p, maxDepth, bound, expected;
};

class Schedule : public ::testing::TestWithParam<ScheduleCase> {};

TEST_P(Schedule, NamesTheFirstDepthThatCouldPrune) {
    const ScheduleCase& c = GetParam();
    const int32_t d = scheduleCheckDepth(c.lookupDepth, c.p, c.maxDepth, c.bound);
    EXPECT_EQ(d, c.expected);
    // Oracle: the value at depth x is p + (x - lookupDepth), capped at maxDepth
    // (or p itself when p is already at or above it).
    const auto valueAt = [&](int32_t x) {
        const int32_t cap = std::max(c.p, c.maxDepth);
        return std::min(c.p + (x - c.lookupDepth), cap);
    };
    EXPECT_GT(d + valueAt(d), c.bound);
    if (d - 1 > c.lookupDepth) {
        EXPECT_LE(d - 1 + valueAt(d - 1), c.bound);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Schedule,
    ::testing::Values(ScheduleCase{10, 30, 40, 50, 16}, ScheduleCase{10, 30, 32, 50, 19},
                      // p at its database's maximum: it cannot rise.
                      ScheduleCase{10, 32, 32, 50, 19}, ScheduleCase{5, 58, 58, 60, 6},
                      // From the root of an iteration whose bound is p.
                      ScheduleCase{0, 40, 56, 40, 1}, ScheduleCase{0, 40, 41, 44, 4},
                      ScheduleCase{0, 0, 0, 0, 1}, ScheduleCase{3, 2, 56, 80, 41}));

}  // namespace
}  // namespace fifteen
