#pragma once

#include <cstdint>
#include <vector>

#include "search/parallel_search.h"
#include "search/solver_state.h"

namespace fifteen {

// What one iteration of shared deepening did, for the tests and benchmarks that
// check its schedule: the bound (total moves from the start), the items in the
// order they were handed out (offsets from firstItem), their node counts by
// that order, and the order position of the winner (order.size() if none). In
// the iteration that finds, the counts after the winner depend on timing.
struct SharedIteration {
    int32_t bound;
    std::vector<int32_t> order;
    std::vector<uint64_t> itemNodes;
    int32_t winner;
};
using SharedDeepeningTrace = std::vector<SharedIteration>;

// Shared deepening over the items of the frontier (see buildSharedFrontier):
// one bound for all items, the bounds of the one-thread search from the start
// node (its first bound, then +2). In each iteration searchThreads workers take
// the items whose lower bound is within it one at a time, largest of the
// previous iteration first, so that the last items to finish are small. The
// first bound at which an item yields a solution is optimal, since every lower
// one was exhausted; the result is the solution of the item earliest in that
// iteration's order, which depends on node counts alone, so any thread count
// above one reports the same moves. Leaves the same results, counts and Cancel
// behaviour as runParallelSearch. With a trace, each iteration is added to it
// (allocating; a solve passes none).
void runSharedDeepening(SolverState& state, const TableSet& tables,
                        SharedDeepeningTrace* trace = nullptr);

enum class BoundedSearch { found, notFound, cancelled };

// One iteration of shared deepening at the total bound (moves from the start)
// over the frontier buildSharedFrontier has left ready: whether a solution of
// at most total moves exists. The first solution found ends it: status
// solveSolved, bestLength total and solution its moves (not necessarily those a
// solve would give). Not found: bestLength noSolutionLength, status unchanged.
// Cancel as in a solve (status solveCancelled). nodes holds its nodes.
BoundedSearch runBoundedIteration(SolverState& state, const TableSet& tables, int32_t total);

// After runSharedDeepening has found a solution of total moves, its winner at
// position winner of the final iteration's count items (the order still in the
// frontier): the start's first moves (bits of frontier.firstMoves) within wanted
// that begin a solution of total moves. found holds those known (the winner's);
// the items before the winner were searched out at that bound, so only those
// after it are searched, each only while it could add a move. Cancel as in a
// solve (status solveCancelled, the moves found so far returned).
uint32_t findFirstMoves(SolverState& state, const TableSet& tables, int32_t total, int32_t winner,
                        int32_t count, uint32_t found, uint32_t wanted);

}  // namespace fifteen
