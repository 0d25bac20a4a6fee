#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <random>

#include "heuristics/pdb/pattern_db.h"
#include "heuristics/pdb/wd_pdb55_tables.h"
#include "heuristics/wd/wd_eval.h"
#include "search/depth_first_search.h"
#include "search/solver_state.h"
#include "search_test_support.h"

namespace fifteen {
namespace {

// A plain transcription of the search with its pattern-database schedule: the
// walking distance through the table's own successor rule, the lookups at the
// scheduled depths, the recomputed check depth carried to the later children.
struct ReferenceSearch {
    uint64_t nodes = 0;
    std::array<int32_t, solutionCapacity> path{};

    int32_t run(Board& board, int32_t blank, int32_t prevBlank, WdPair pair, int32_t depth,
                int32_t bound, int32_t nextCheckDepth) {
        ++nodes;
        const auto b = static_cast<std::size_t>(blank);
        for (std::size_t k = 0; k < static_cast<std::size_t>(neighborCount[b]); ++k) {
            const int n = neighbors[b][k];
            if (n == prevBlank) continue;
            const int32_t tile = board[static_cast<std::size_t>(n)];
            const WdPair child = wdSuccessor(wdTable, pair, blank, n, tile);
            const int32_t w = wdValue(child);
            if (depth + 1 + w > bound) continue;
            if (w == 0) {
                path[static_cast<std::size_t>(depth)] = tile;
                return searchFound;
            }
            applyMove(board, blank, n);
            int32_t p = 0;
            if (depth + 1 == nextCheckDepth) {
                int32_t maxDepth = 0;
                p = WdPdb55Tables{}.lookup(board, maxDepth);
                nextCheckDepth =
                    w > p ? neverCheckDepth : scheduleCheckDepth(depth + 1, p, maxDepth, bound);
            }
            int32_t r = searchNotFound;
            if (!(p > w && depth + 1 + p > bound)) {
                r = run(board, n, blank, child, depth + 1, bound, nextCheckDepth);
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

TEST(DepthFirstSearchWithPatternDbs, MatchesAReferenceSearchNodeForNode) {
    testing::requireAllTables();
    std::mt19937 random(41);
    int withLookups = 0;
    for (int trial = 0; withLookups < 10 && trial < 400; ++trial) {
        Board board = testing::randomWalkFromGoal(random, 60 + trial % 40);
        const WdRecord* row = findRowRecord(wdTable, board);
        const WdRecord* column = findColumnRecord(wdTable, board);
        const int32_t wd = row->distance + column->distance;
        int32_t maxDepth = 0;
        const int32_t p = WdPdb55Tables{}.lookup(board, maxDepth);
        if (p <= wd) continue;  // those run on walking distance alone
        ++withLookups;
        const int32_t blank = testing::blankCell(board);
        std::atomic<int32_t> best{noSolutionLength};
        std::array<int32_t, solutionCapacity> path{};
        for (int32_t bound = p; bound <= p + 6; bound += 2) {
            const int32_t nextCheckDepth = scheduleCheckDepth(0, p, maxDepth, bound);
            ReferenceSearch reference;
            Board copy = board;
            const int32_t expected = reference.run(
                copy, blank, -1, {wdPackedLinkOf(wdTable, *row), wdPackedLinkOf(wdTable, *column)},
                0, bound, nextCheckDepth);
            SearchContext context{&best, 0};
            const int32_t result =
                depthFirstSearch(WdPdb55Tables{}, board, blank, -1, *row, *column, 0, bound,
                                 nextCheckDepth, path.data(), context);
            ASSERT_EQ(result, expected) << "trial " << trial << " bound " << bound;
            ASSERT_EQ(context.nodes, reference.nodes) << "trial " << trial << " bound " << bound;
            if (result == searchFound) {
                EXPECT_EQ(path, reference.path);
                break;
            }
        }
    }
    EXPECT_EQ(withLookups, 10);
}

}  // namespace
}  // namespace fifteen
