#pragma once

#include <cstdint>

#include "search/parallel_search.h"
#include "search/solver_state.h"

namespace fifteen {

// Shared deepening over the items of the frontier (see buildSharedFrontier):
// one bound for all items, the bounds of the one-thread search from the start
// node (its first bound, then +2). In each iteration searchThreads workers take
// the items whose lower bound is within it one at a time, largest of the
// previous iteration first, so that the last items to finish are small. The
// first bound at which an item yields a solution is optimal, since every lower
// one was exhausted; the result is the solution of the item earliest in that
// iteration's order, which depends on node counts alone, so any thread count
// above one reports the same moves. Leaves the same results, counts and Cancel
// behaviour as runParallelSearch.
void runSharedDeepening(SolverState& state, const TableSet& tables);

}  // namespace fifteen
