#include "search/frontier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "puzzle/standard_instances.h"
#include "search/solver_state.h"
#include "search_test_support.h"

namespace fifteen {
namespace {

using Node = std::pair<BoardKey, int32_t>;  // (key, prevBlank)

// Levels of the breadth-first expansion as sets: a node is new when no earlier
// level and no node of its own level holds the same (key, prevBlank).
std::vector<std::set<Node>> levelsFrom(const Board& start, std::size_t count) {
    std::vector<std::set<Node>> levels{{{packBoard(start), -1}}};
    std::set<Node> seen = levels[0];
    while (levels.size() < count) {
        std::set<Node> next;
        for (const auto& [key, prevBlank] : levels.back()) {
            Board board{};
            const int blank = unpackBoard(key, board);
            const auto b = static_cast<std::size_t>(blank);
            for (std::size_t k = 0; k < static_cast<std::size_t>(neighborCount[b]); ++k) {
                const int n = neighbors[b][k];
                if (n == prevBlank) continue;
                applyMove(board, blank, n);
                const Node child{packBoard(board), blank};
                if (seen.insert(child).second) next.insert(child);
                applyMove(board, n, blank);
            }
        }
        levels.push_back(std::move(next));
    }
    return levels;
}

// Korf's instances 1, 2 and 88 (this program's orientation): far from the goal.
constexpr Board starts[] = {standardInstance(1).board, standardInstance(2).board,
                            standardInstance(88).board};

class FrontierLayer : public ::testing::TestWithParam<int32_t> {
  protected:
    void SetUp() override { testing::requireAllTables(); }
};

TEST_P(FrontierLayer, IsTheDeepestCompleteLevelWithinTheThreadLimit) {
    const int32_t maxThreads = GetParam();
    for (const Board& start : starts) {
        SolverState& state = solverState;
        state.problem = start;
        state.maxThreads = maxThreads;
        ASSERT_EQ(buildFrontier(state, defaultTableSet()), solveFrontierReady);
        const Frontier& f = state.frontier;
        const auto levels = levelsFrom(start, static_cast<std::size_t>(state.frontierDepth) + 2);
        const auto& layer = levels[static_cast<std::size_t>(state.frontierDepth)];

        EXPECT_LE(state.itemCount, maxThreads);
        EXPECT_LE(f.nodeCount, frontierCapacity);
        std::set<Node> stored;
        std::set<Node> layerStored;
        for (int32_t i = 0; i < f.nodeCount; ++i) {
            const auto s = static_cast<std::size_t>(i);
            EXPECT_TRUE(stored.insert({f.key[s], f.prevBlank[s]}).second) << "node " << i;
            const bool inLayer = f.depth[s] == state.frontierDepth;
            EXPECT_EQ(inLayer, i >= state.firstItem && i <= state.lastItem) << "node " << i;
            if (inLayer) layerStored.insert({f.key[s], f.prevBlank[s]});
            if (i > 0) {
                EXPECT_GE(f.depth[s], f.depth[s - 1]);
                // The node is its parent after the move from prevBlank.
                ASSERT_LT(f.parent[s], i);
                const auto parent = static_cast<std::size_t>(f.parent[s]);
                Board board{};
                const int parentBlank = unpackBoard(f.key[parent], board);
                Board child{};
                const int childBlank = unpackBoard(f.key[s], child);
                EXPECT_EQ(f.depth[s], f.depth[parent] + 1);
                EXPECT_EQ(f.prevBlank[s], parentBlank);
                applyMove(board, parentBlank, childBlank);
                EXPECT_EQ(board, child) << "node " << i;
            }
        }
        EXPECT_EQ(state.itemCount, static_cast<int32_t>(layer.size()));
        EXPECT_EQ(layerStored, layer);
        // One level deeper would have needed more workers (or more room).
        const auto& deeper = levels[static_cast<std::size_t>(state.frontierDepth) + 1];
        EXPECT_TRUE(static_cast<int32_t>(deeper.size()) > maxThreads ||
                    f.nodeCount == frontierCapacity);
    }
}

INSTANTIATE_TEST_SUITE_P(ThreadLimits, FrontierLayer,
                         ::testing::Values(1, 2, 3, 4, 5, 8, 16, 64, 200, 1000));

TEST(Frontier, KeepsOneBoardReachedWithDifferentLastMovesTwice) {
    testing::requireAllTables();
    SolverState& state = solverState;
    state.problem = starts[0];
    state.maxThreads = 1000;
    ASSERT_EQ(buildFrontier(state, defaultTableSet()), solveFrontierReady);
    const Frontier& f = state.frontier;
    EXPECT_EQ(f.nodeCount, frontierCapacity);
    std::set<BoardKey> keys(f.key.begin(), f.key.begin() + f.nodeCount);
    // Transpositions (from depth 6 on) reached by different last moves.
    EXPECT_LT(static_cast<int32_t>(keys.size()), f.nodeCount);
}

// One state expands many frontiers in turn, small and large, each clearing only
// what the last one indexed: every expansion is the one a fresh state makes, and
// the index holds exactly its nodes.
TEST(Frontier, ExpansionsInTurnOnOneStateMatchFreshOnes) {
    testing::requireAllTables();
    auto reused = std::make_unique<SolverState>();
    const std::pair<Board, int32_t> runs[] = {{starts[0], 1}, {starts[1], 1000}, {starts[2], 1},
                                              {starts[0], 4}, {starts[2], 1000}, {starts[1], 1},
                                              {starts[1], 1}};
    for (const auto& [start, maxThreads] : runs) {
        auto fresh = std::make_unique<SolverState>();
        for (SolverState* state : {reused.get(), fresh.get()}) {
            state->problem = start;
            state->maxThreads = maxThreads;
            ASSERT_EQ(buildFrontier(*state, defaultTableSet()), solveFrontierReady);
        }
        const Frontier& a = reused->frontier;
        const Frontier& b = fresh->frontier;
        ASSERT_EQ(a.nodeCount, b.nodeCount) << maxThreads;
        for (std::size_t i = 0; i < static_cast<std::size_t>(a.nodeCount); ++i) {
            ASSERT_EQ(a.key[i], b.key[i]) << i;
            ASSERT_EQ(a.prevBlank[i], b.prevBlank[i]) << i;
            ASSERT_EQ(a.parent[i], b.parent[i]) << i;
            ASSERT_EQ(a.firstMoves[i], b.firstMoves[i]) << i;
        }
        std::vector<int32_t> indexed;
        for (const int32_t s : a.slot) {
            if (s != 0) indexed.push_back(s - 1);
        }
        std::sort(indexed.begin(), indexed.end());
        ASSERT_EQ(static_cast<int32_t>(indexed.size()), a.nodeCount);
        for (std::size_t i = 0; i < indexed.size(); ++i)
            ASSERT_EQ(indexed[i], static_cast<int32_t>(i));
    }
}

}  // namespace
}  // namespace fifteen
