#include "search/shared_deepening.h"
#include "heuristics/pdb/wd_pdb55_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "heuristics/pdb/pattern_db.h"
#include "heuristics/wd/wd_eval.h"
#include "puzzle/standard_instances.h"
#include "recording_output.h"
#include "search/frontier.h"
#include "search/parallel_search.h"
#include "search/solve_job.h"
#include "search/solver_state.h"
#include "search_test_support.h"

namespace fifteen {
namespace {

class SharedDeepeningTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::requireAllTables(); }

    static void solve(const Board& board, int32_t threads, ParallelDesign design) {
        solverState.maxThreads = threads;
        solverState.parallelDesign = design;
        testing::RecordingOutput output;
        solveJob(board, output);
    }

    static std::vector<int32_t> moves() {
        const auto length = static_cast<std::ptrdiff_t>(solverState.bestLength.load());
        return {solverState.solution.begin(), solverState.solution.begin() + length};
    }
};

std::vector<std::pair<BoardKey, int32_t>> layerOf(const SolverState& state) {
    std::vector<std::pair<BoardKey, int32_t>> layer;
    for (int32_t i = state.firstItem; i <= state.lastItem; ++i) {
        const auto n = static_cast<std::size_t>(i);
        layer.emplace_back(state.frontier.key[n], state.frontier.prevBlank[n]);
    }
    return layer;
}

TEST_F(SharedDeepeningTest, TheItemsAreTheFirstLayerOfTheTargetSizeWhateverTheThreadCount) {
    const Board board = standardInstance(2).board;
    std::vector<std::pair<BoardKey, int32_t>> first;
    for (const int32_t threads : {2, 8}) {
        solverState.problem = board;
        solverState.maxThreads = threads;
        ASSERT_EQ(buildSharedFrontier(solverState, defaultTableSet()), solveFrontierReady);
        const Frontier& f = solverState.frontier;
        EXPECT_GE(solverState.itemCount, sharedItemTarget);
        EXPECT_EQ(solverState.lastItem - solverState.firstItem + 1, solverState.itemCount);
        EXPECT_EQ(solverState.searchThreads, threads);
        const auto above = std::count(f.depth.begin(), f.depth.begin() + f.nodeCount,
                                      solverState.frontierDepth - 1);
        EXPECT_LT(above, sharedItemTarget);
        std::set<std::pair<BoardKey, int32_t>> nodes;
        for (int32_t i = 1; i < f.nodeCount; ++i) {
            const auto n = static_cast<std::size_t>(i);
            EXPECT_TRUE(nodes.emplace(f.key[n], f.prevBlank[n]).second) << "node " << i;
            // The parent's blank is the cell the child's blank came from.
            Board parent{};
            const auto p = static_cast<std::size_t>(f.parent[n]);
            EXPECT_EQ(unpackBoard(f.key[p], parent), f.prevBlank[n]);
            EXPECT_EQ(f.depth[n], f.depth[p] + 1);
        }
        if (first.empty()) {
            first = layerOf(solverState);
        } else {
            EXPECT_EQ(layerOf(solverState), first);
        }
    }
}

TEST_F(SharedDeepeningTest, EveryThreadCountReportsTheSameMovesAndIterationNodes) {
    std::vector<std::pair<Board, int32_t>> cases;
    for (const int number : {12, 42, 79, 85}) {
        cases.emplace_back(standardInstance(number).board, standardInstance(number).length);
    }
    std::mt19937 random(41);
    for (int trial = 0; trial < 3; ++trial) {
        cases.emplace_back(testing::randomWalkFromGoal(random, 36 + 4 * trial), -1);
    }
    for (const auto& [board, published] : cases) {
        solve(board, 2, ParallelDesign::shared);
        ASSERT_EQ(solverState.status, solveSolved);
        const std::vector<int32_t> expected = moves();
        const uint64_t signature = solverState.nodesBelowFinalBound;
        if (published >= 0) {
            EXPECT_EQ(static_cast<int32_t>(expected.size()), published);
        }
        EXPECT_TRUE(testing::replayReachesGoal(board, expected.data(),
                                               static_cast<int32_t>(expected.size())));
        EXPECT_GT(signature, 0u);
        for (const int32_t threads : {2, 3, 4, 8}) {
            solve(board, threads, ParallelDesign::shared);
            ASSERT_EQ(solverState.status, solveSolved);
            EXPECT_EQ(moves(), expected) << threads << " threads";
            EXPECT_EQ(solverState.nodesBelowFinalBound, signature) << threads << " threads";
        }
    }
}

// The oracle: iterative deepening of the start node written out here.
uint64_t startNodeSearchNodes(const Board& start) {
    Board board = start;
    const int32_t blank = testing::blankCell(board);
    const WdRecord* row = findRowRecord(wdTable, board);
    const WdRecord* column = findColumnRecord(wdTable, board);
    const int32_t wd = row->distance + column->distance;
    int32_t maxDepth = 0;
    const int32_t p = WdPdb55Tables{}.lookup(board, maxDepth);
    const std::atomic<int32_t> stop{noSolutionLength};
    SearchContext context{&stop, 0};
    std::array<int32_t, solutionCapacity> path{};
    for (int32_t bound = std::max(wd, p);; bound += 2) {
        const int32_t check = wd >= p ? neverCheckDepth : scheduleCheckDepth(0, p, maxDepth, bound);
        if (depthFirstSearch(WdPdb55Tables{}, board, blank, -1, *row, *column, 0, bound, check,
                             path.data(), context) == searchFound) {
            return context.nodes;
        }
    }
}

TEST_F(SharedDeepeningTest, OneThreadSearchesTheStartNodeNodeForNode) {
    for (const int number : {12, 79}) {
        const Board board = standardInstance(number).board;
        solve(board, 1, ParallelDesign::shared);
        ASSERT_EQ(solverState.status, solveSolved);
        EXPECT_EQ(solverState.frontierDepth, 0);
        EXPECT_EQ(solverState.nodes, startNodeSearchNodes(board)) << "instance " << number;
    }
}

// Handing out only the items a bound admits must lose none: below the final
// bound every item is searched in full, which the oracle does here item by item.
TEST_F(SharedDeepeningTest, TheIterationsBelowTheResultSearchEveryItemInFull) {
    std::mt19937 random(5);
    for (const Board& board :
         {standardInstance(42).board, testing::randomWalkFromGoal(random, 60)}) {
        solve(board, 3, ParallelDesign::shared);
        ASSERT_EQ(solverState.status, solveSolved);
        ASSERT_GT(solverState.frontierDepth, 0);
        const std::atomic<int32_t> stop{noSolutionLength};
        SearchWorker worker{};
        worker.context.bestLength = &stop;
        for (int32_t total = std::max(solverState.startWd, solverState.startPdb);
             total < solverState.bestLength.load(); total += 2) {
            for (int32_t item = solverState.firstItem; item <= solverState.lastItem; ++item) {
                int32_t blank = 0;
                ASSERT_EQ(searchItem(solverState, defaultTableSet(), item,
                                     total - solverState.frontierDepth, worker, blank),
                          searchNotFound);
            }
        }
        EXPECT_EQ(worker.context.nodes, solverState.nodesBelowFinalBound);
    }
}

TEST_F(SharedDeepeningTest, ProgressEndsAtTheFinalBoundWithEveryNode) {
    for (const ParallelDesign design : {ParallelDesign::shared, ParallelDesign::items}) {
        solve(standardInstance(42).board, 3, design);
        ASSERT_EQ(solverState.status, solveSolved);
        const SearchProgress progress = readSearchProgress(solverState);
        // A per-item worker may begin a bound past the result before it sees it.
        if (design == ParallelDesign::shared) {
            EXPECT_EQ(progress.bound, solverState.bestLength.load());
        } else {
            EXPECT_GE(progress.bound, solverState.bestLength.load());
        }
        EXPECT_EQ(progress.nodes, solverState.nodes);
    }
}

TEST_F(SharedDeepeningTest, ACancelInALaterIterationStopsTheSearch) {
    // Korf's instance 82, 62 moves: many seconds of search.
    const Board board = standardInstance(82).board;
    solverState.maxThreads = 2;
    solverState.parallelDesign = ParallelDesign::shared;
    clearCancelRequest(solverState);
    testing::RecordingOutput output;
    std::thread job([&] { solveJob(board, output); });
    // Past the first bound and some nodes into the iteration.
    while (readSearchProgress(solverState).bound <= 56 ||
           readSearchProgress(solverState).nodes == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    requestCancel(solverState);
    job.join();
    clearCancelRequest(solverState);  // for the solves of later tests
    EXPECT_EQ(solverState.status, solveCancelled);
    EXPECT_EQ(solverState.bestLength.load(), 0);
    EXPECT_EQ(output.status, "Cancel");
}

}  // namespace
}  // namespace fifteen
