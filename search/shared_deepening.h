#pragma once

#include <cstdint>

#include "search/parallel_search.h"
#include "search/solver_state.h"

namespace fifteen {

// Shared deepening over the items of sharedFrontier (see buildSharedFrontier):
// one bound for all items, the bounds of the one-thread search from the start
// node (its first bound, then +2). In each iteration searchThreads workers take
// the items whose lower bound is within it one at a time, largest of the
// previous iteration first, so that the last items to finish are small. The
// first bound at which an item yields a solution is optimal, since every lower
// one was exhausted; the result is the solution of the item earliest in that
// iteration's order, which depends on node counts alone, so any thread count
// above one reports the same moves. Leaves the same results, counts and Cancel
// behaviour as runParallelSearch.
void runSharedDeepening(SolverState& state);

// Finds the walking-distance records and database values of the items, which
// searchSharedItem needs. runSharedDeepening calls it first.
void prepareSharedItems(SolverState& state);

// Searches sharedFrontier node item with bound (moves from the search layer) on
// the worker's board, with the item's own pattern-database schedule. An item
// whose lower bound is above bound ends at once, with no node and
// searchNotFound. Otherwise depthFirstSearch's result; on searchFound,
// pathBuffer holds the moves. blank receives the blank cell of the item.
int32_t searchSharedItem(const SolverState& state, int32_t item, int32_t bound,
                         SearchWorker& worker, int32_t& blank);

}  // namespace fifteen
