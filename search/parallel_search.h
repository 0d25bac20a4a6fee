#pragma once

#include <array>
#include <cstdint>
#include <mutex>

#include "puzzle/board.h"
#include "search/depth_first_search.h"
#include "search/solver_state.h"
#include "search/table_set.h"

namespace fifteen {

// Iterative deepening of every node of the search layer, one OpenMP worker per
// node, sharing only bestLength and solution. Leaves status solveSolved with the
// total length in bestLength, or solveCancelled with bestLength 0, and the node
// counts of the search in nodes and nodesBelowFinalBound.
void runParallelSearch(SolverState& state, const TableSet& tables);

// Cancel from any thread (the desktop program's Cancel button): stops a running
// parallel search at every worker's next call by writing cancelRequest into
// bestLength. A request made while the frontier is being built is kept and applied
// when the search starts; one made after the search has ended changes nothing, so
// a finished result is never overwritten. Not async-signal-safe (it takes a lock).
void requestCancel(SolverState& state);

// The lock-free part of a Cancel, for a signal handler (async-signal-safe): writes
// cancelRequest into bestLength and every shared-deepening worker's stop value.
// Only for a search known to be running; requestCancel keeps the hand-over.
void storeCancelRequest(SolverState& state);

// Forgets an earlier request; called before a solve job is started.
void clearCancelRequest(SolverState& state);
bool isCancelRequested(SolverState& state);

// A snapshot of a running search for a progress display: the bound (total moves
// from the start) of the deepest iteration begun, and the nodes searched so far.
// Safe from any thread at any time; zero before the first iteration.
struct SearchProgress {
    int32_t bound;
    uint64_t nodes;
};
SearchProgress readSearchProgress(const SolverState& state);

// Nodes by the bound (moves from the search layer) of the iteration that searched
// them; bounds past the last entry (no real position reaches them) count in it.
using NodesByBound = std::array<uint64_t, solutionCapacity + 2>;

// One worker's private search state, reused for all its nodes and iterations.
struct SearchWorker {
    Board board;
    std::array<int32_t, solutionCapacity> pathBuffer;
    SearchContext context;
    NodesByBound nodesAtBound;
};

// The body of the parallel region: each worker takes its static block of
// firstItem..lastItem, in increasing order. Must be called by every thread of
// the enclosing parallel region (it holds the work-sharing loop).
void searchFrontierItems(SolverState& state, const TableSet& tables, SearchWorker& worker);

// Offers a solution of bound moves from search-layer node item (the worker's
// pathBuffer holds the moves, its board the node's position with its blank in
// cell blank; on success the board is walked back to the start). Refused when
// bound is not below bestLength (a better or equal solution, or Cancel), or when
// the whole solution would not fit in solution.
bool publishSolution(SolverState& state, int32_t item, int32_t bound, SearchWorker& worker,
                     int32_t blank);

// Shared by both parallel designs.
// The start values of search-layer node item (see prepareItems).
const NodeBounds& itemBounds(const SolverState& state, int32_t item);
// Finds the start values of every item once, on searchThreads threads.
void prepareItems(SolverState& state, const TableSet& tables);
// Searches search-layer node item with bound (moves from the search layer) on the
// worker's board. An item whose lower bound is above bound ends at once, with no
// node and searchNotFound. Otherwise the depth-first search's result; on
// searchFound, pathBuffer holds the moves. blank receives the item's blank cell.
int32_t searchItem(const SolverState& state, const TableSet& tables, int32_t item, int32_t bound,
                   SearchWorker& worker, int32_t& blank);
// Writes the moves of a solution found from item (the caller holds the
// publication lock and has claimed the result): false when it would not fit.
bool writeItemSolution(SolverState& state, int32_t item, int32_t bound, SearchWorker& worker,
                       int32_t blank);
// The lock of publication and of the Cancel hand-over.
std::mutex& publicationLock();
// Raises progressBound to bound (a total from the start) unless it is higher.
void publishProgressBound(SolverState& state, int32_t bound);
// Before the workers start: zero progress, mark the search running and apply a
// Cancel requested while the frontier was built.
void beginSearchPhase(SolverState& state);
// After they have joined: the node counts, then status and the total bestLength
// (solveSolved), or bestLength 0 (solveCancelled) when it holds cancelRequest.
void endSearchPhase(SolverState& state, uint64_t nodes, const NodesByBound& nodesAtBound);

}  // namespace fifteen
