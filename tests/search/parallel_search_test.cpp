#include "search/parallel_search.h"
#include "heuristics/pdb/wd_pdb55_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "heuristics/pdb/pattern_db.h"
#include "heuristics/wd/wd_eval.h"
#include "puzzle/standard_instances.h"
#include "search/frontier.h"
#include "search/solver_state.h"
#include "search_test_support.h"

namespace fifteen {
namespace {

class ParallelSearchTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::requireAllTables(); }

    // A frontier of the given position, ready for the parallel search.
    static SolverState& frontierOf(const Board& board, int32_t maxThreads) {
        solverState.problem = board;
        solverState.maxThreads = maxThreads;
        EXPECT_EQ(buildFrontier(solverState, defaultTableSet()), solveFrontierReady);
        return solverState;
    }
};

// Korf's instance 2 (this program's orientation), 55 moves.
constexpr Board korf2 = standardInstance(2).board;

TEST_F(ParallelSearchTest, APublicationThatWouldNotFitTheSolutionIsRefused) {
    SolverState& state = frontierOf(korf2, 8);
    state.solution.fill(-3);
    state.frontierDepth = 40;  // fabricated: no real position gets here
    SearchWorker worker{};
    worker.pathBuffer.fill(7);
    Board& board = worker.board;
    const int32_t item = state.firstItem;
    const int blank = unpackBoard(state.frontier.key[static_cast<std::size_t>(item)], board);
    const Board before = board;
    EXPECT_FALSE(publishSolution(state, item, 43, worker, blank));
    EXPECT_EQ(state.bestLength.load(), noSolutionLength);
    EXPECT_EQ(board, before);
    EXPECT_TRUE(std::all_of(state.solution.begin(), state.solution.end(),
                            [](int32_t e) { return e == -3; }));
}

TEST_F(ParallelSearchTest, APublicationNoBetterThanBestLengthIsRefused) {
    SolverState& state = frontierOf(korf2, 8);
    SearchWorker worker{};
    worker.pathBuffer.fill(9);
    Board& board = worker.board;
    const int32_t item = state.lastItem;
    const int blank = unpackBoard(state.frontier.key[static_cast<std::size_t>(item)], board);
    ASSERT_TRUE(publishSolution(state, item, 50, worker, blank));
    EXPECT_EQ(state.bestLength.load(), 50);
    // The prefix walk left the start position on the worker's board.
    EXPECT_EQ(board, korf2);
    Board replay = korf2;
    ASSERT_TRUE(testing::replayMoves(replay, state.solution.data(), state.frontierDepth));
    Board node{};
    unpackBoard(state.frontier.key[static_cast<std::size_t>(item)], node);
    EXPECT_EQ(replay, node);
    for (int32_t i = 0; i < 50; ++i) {
        EXPECT_EQ(state.solution[static_cast<std::size_t>(state.frontierDepth + i)], 9);
    }

    const auto solution = state.solution;
    const int itemBlank = unpackBoard(state.frontier.key[static_cast<std::size_t>(item)], board);
    EXPECT_FALSE(publishSolution(state, item, 50, worker, itemBlank));
    state.bestLength.store(cancelRequest);
    EXPECT_FALSE(publishSolution(state, item, 30, worker, itemBlank));
    EXPECT_EQ(state.bestLength.load(), cancelRequest);
    EXPECT_EQ(state.solution, solution);
}

TEST_F(ParallelSearchTest, ACancelledSearchEndsWithStatusFourAndLengthZero) {
    SolverState& state = frontierOf(korf2, 4);
    state.bestLength.store(cancelRequest);
    runParallelSearch(state, defaultTableSet());
    EXPECT_EQ(state.status, solveCancelled);
    EXPECT_EQ(state.bestLength.load(), 0);
    // Each worker's first call per node saw the cancel and counted one node.
    EXPECT_EQ(state.nodes, static_cast<uint64_t>(state.itemCount));
    EXPECT_EQ(state.nodesBelowFinalBound, 0u);
}

TEST_F(ParallelSearchTest, SolvesFromTheSearchLayerAndCountsItsNodes) {
    for (int32_t threads : {1, 2, 5}) {
        SolverState& state = frontierOf(korf2, threads);
        runParallelSearch(state, defaultTableSet());
        EXPECT_EQ(state.status, solveSolved);
        ASSERT_EQ(state.bestLength.load(), 55) << threads;
        EXPECT_TRUE(testing::replayReachesGoal(korf2, state.solution.data(), 55));
        EXPECT_GT(state.nodesBelowFinalBound, 0u);
        EXPECT_LT(state.nodesBelowFinalBound, state.nodes);
    }
}

// With one thread and a start whose walking distance is not below its
// pattern-database value, the search is plain iterative deepening of the start on
// walking distance alone, so its node counts can be redone call by call.
TEST_F(ParallelSearchTest, NodeCountsMatchTheIterationsOfOneThread) {
    SolverState& state = frontierOf(korf2, 1);
    ASSERT_EQ(state.frontierDepth, 0);
    int32_t maxDepth = 0;
    Board board = korf2;
    const int32_t p = WdPdb55Tables{}.lookup(board, maxDepth);
    const WdRecord* row = findRowRecord(wdTable, board);
    const WdRecord* column = findColumnRecord(wdTable, board);
    ASSERT_GE(row->distance + column->distance, p);
    std::atomic<int32_t> best{noSolutionLength};
    std::array<int32_t, solutionCapacity> path{};
    uint64_t below = 0;
    uint64_t total = 0;
    for (int32_t bound = row->distance + column->distance;; bound += 2) {
        SearchContext context{&best, 0};
        const int32_t r = depthFirstSearch(WdPdb55Tables{}, board, 3, -1, *row, *column, 0, bound,
                                           neverCheckDepth, path.data(), context);
        total += context.nodes;
        if (r == searchFound) break;
        below += context.nodes;
    }
    runParallelSearch(state, defaultTableSet());
    EXPECT_EQ(state.nodes, total);
    EXPECT_EQ(state.nodesBelowFinalBound, below);
    for (int run = 0; run < 2; ++run) {
        SolverState& again = frontierOf(korf2, 3);
        runParallelSearch(again, defaultTableSet());
        if (run == 0) below = again.nodesBelowFinalBound;
        EXPECT_EQ(again.nodesBelowFinalBound, below) << "the signature depends on timing";
    }
}

}  // namespace
}  // namespace fifteen
