#include "search/shared_deepening.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <mutex>

#include <omp.h>

#include "search/frontier.h"

namespace fifteen {

namespace {

inline std::size_t cell(int32_t index) {
    return static_cast<std::size_t>(index);
}

// Keeps the solution of the item at order position `position` if it is earlier
// than the best of this iteration so far, and stops the workers on later items
// (with anySolution, on every item: any one solution answers).
// Under the publication lock, so that two finders' moves never mix and a Cancel
// is not answered by a late candidate.
void offerSolution(SolverState& state, int32_t position, int32_t item, int32_t bound,
                   SearchWorker& worker, int32_t blank, std::atomic<int32_t>& winner,
                   bool anySolution) {
    std::lock_guard<std::mutex> lock(publicationLock());
    if (position >= winner.load()) return;
    if (state.bestLength.load(std::memory_order_relaxed) < 0) return;
    if (!writeItemSolution(state, item, bound, worker, blank)) return;
    winner.store(position);
    for (int32_t s = 0; s < state.searchThreads; ++s) {
        // Any stop value not above bound ends that worker's search at its next call.
        if (anySolution || state.workerPosition[cell(s)].load() > position) {
            state.workerStop[cell(s)].store(0);
        }
    }
}

// The order of the next iteration: most nodes in this one first, ties by item.
void orderBySize(Frontier& frontier, int32_t count) {
    std::sort(frontier.order.begin(), frontier.order.begin() + count,
              [&frontier](int32_t a, int32_t b) {
                  const uint64_t na = frontier.itemNodes[cell(a)];
                  const uint64_t nb = frontier.itemNodes[cell(b)];
                  return na != nb ? na > nb : a < b;
              });
}

// One iteration at bound over the first count items of the order; returns the
// order position of the winning item (count if none) and adds the nodes searched
// to nodes.
//
// Each worker searches against its own stop value. Before an item it resets the
// stop, publishes its position, and only then reads winner and bestLength; a
// finder stores winner before it reads the positions, and a Cancel stores
// bestLength before the stops. All sequentially consistent, so of each pair one
// side sees the other: the worker skips the item, or its fresh stop is written
// after the reset and the search ends at its next call. With anySolution the
// first solution ends the iteration, whatever its position.
int32_t searchIteration(SolverState& state, const TableSet& tables, int32_t bound, int32_t count,
                        uint64_t& nodes, bool anySolution = false) {
    Frontier& frontier = state.frontier;
    std::atomic<int32_t> cursor{0};
    std::atomic<int32_t> winner{count};
    for (int32_t s = 0; s < state.searchThreads; ++s) state.workerPosition[cell(s)].store(-1);
#pragma omp parallel num_threads(std::max(state.searchThreads, 1))
    {
        const auto slot = cell(omp_get_thread_num());
        std::atomic<int32_t>& stop = state.workerStop[slot];
        SearchWorker worker{};
        worker.context.bestLength = &stop;
        for (;;) {
            // Relaxed: the increment alone hands each position to one worker.
            const int32_t position = cursor.fetch_add(1, std::memory_order_relaxed);
            if (position >= count) break;
            stop.store(noSolutionLength);
            state.workerPosition[slot].store(position);
            // Items after a winner cannot change the result; those before must run.
            const int32_t won = winner.load();
            if (position > won || (anySolution && won < count) || state.bestLength.load() < 0) {
                break;
            }
            const int32_t offset = frontier.order[cell(position)];
            const int32_t item = state.firstItem + offset;
            const uint64_t before = worker.context.nodes;
            int32_t blank = 0;
            const int32_t r = searchItem(state, tables, item, bound, worker, blank);
            // Read by the solve thread after the region has joined.
            frontier.itemNodes[cell(offset)] = worker.context.nodes - before;
            state.progressNodes.fetch_add(worker.context.nodes - before, std::memory_order_relaxed);
            if (r == searchFound)
                offerSolution(state, position, item, bound, worker, blank, winner, anySolution);
            if (r == searchStopped) break;
        }
#pragma omp critical(fifteenNodeTotals)
        nodes += worker.context.nodes;
    }
    return winner.load();
}

// Appends to the order, by item, the items whose lower bound lies in
// (previousBound, bound]: most items of a deep layer are far above the first
// bounds, and handing each out would cost more than the small ones' searches.
// Returns the new length of the order.
int32_t admitItems(Frontier& frontier, int32_t itemCount, int32_t active, int32_t previousBound,
                   int32_t bound) {
    for (int32_t i = 0; i < itemCount; ++i) {
        const NodeBounds& item = frontier.itemBounds[cell(i)];
        const int32_t lowerBound = std::max(item.wd, item.pdb);
        if (lowerBound > previousBound && lowerBound <= bound) frontier.order[cell(active++)] = i;
    }
    return active;
}

}  // namespace

void runSharedDeepening(SolverState& state, const TableSet& tables, SharedDeepeningTrace* trace) {
    Frontier& frontier = state.frontier;
    const int32_t count = state.itemCount;
    // An item is searched from the iteration its lower bound admits it; in every
    // later one it has nodes (its root at least), so the order stays by size first.
    int32_t active = 0;
    int32_t previousBound = -1;
    NodesByBound nodesAtBound{};
    uint64_t nodes = 0;
    prepareItems(state, tables);
    beginSearchPhase(state);
    // The one-thread search's bounds; its first is the start's lower bound.
    for (int32_t total = std::max(state.startWd, state.startPdb); total < noSolutionLength;
         total += 2) {
        if (state.bestLength.load(std::memory_order_relaxed) < 0) break;
        const int32_t bound = total - state.frontierDepth;
        publishProgressBound(state, total);
        active = admitItems(frontier, count, active, previousBound, bound);
        previousBound = bound;
        uint64_t iterationNodes = 0;
        const int32_t winner = searchIteration(state, tables, bound, active, iterationNodes);
        state.sharedWinner = winner;
        state.sharedActive = active;
        nodes += iterationNodes;
        nodesAtBound[std::min(cell(bound), nodesAtBound.size() - 1)] += iterationNodes;
        if (trace != nullptr) {
            SharedIteration& done = trace->emplace_back();
            done.bound = total;
            done.order.assign(frontier.order.begin(), frontier.order.begin() + active);
            for (const int32_t offset : done.order) {
                done.itemNodes.push_back(frontier.itemNodes[cell(offset)]);
            }
            done.winner = winner;
        }
        if (winner < active) {
            std::lock_guard<std::mutex> lock(publicationLock());
            // Relaxed: the lock orders this with Cancel; the workers have joined.
            if (state.bestLength.load(std::memory_order_relaxed) >= 0) {
                state.bestLength.store(bound, std::memory_order_relaxed);
            }
            break;
        }
        orderBySize(frontier, active);
    }
    endSearchPhase(state, nodes, nodesAtBound);
}

}  // namespace fifteen

namespace fifteen {

BoundedSearch runBoundedIteration(SolverState& state, const TableSet& tables, int32_t total) {
    const int32_t bound = total - state.frontierDepth;
    prepareItems(state, tables);
    beginSearchPhase(state);
    publishProgressBound(state, total);
    const int32_t active =
        bound < 0 ? 0 : admitItems(state.frontier, state.itemCount, 0, -1, bound);
    uint64_t nodes = 0;
    const int32_t winner = searchIteration(state, tables, bound, active, nodes, true);
    bool cancelled = false;
    {
        std::lock_guard<std::mutex> lock(publicationLock());
        state.searchRunning = false;
        // Relaxed: the lock orders this with Cancel; the workers have joined.
        cancelled = state.bestLength.load(std::memory_order_relaxed) < 0;
    }
    state.nodes = nodes;
    state.nodesBelowFinalBound = 0;
    if (cancelled) {
        state.bestLength.store(0, std::memory_order_relaxed);
        state.status = solveCancelled;
        return BoundedSearch::cancelled;
    }
    if (winner < active) {
        state.bestLength.store(total, std::memory_order_relaxed);
        state.status = solveSolved;
        return BoundedSearch::found;
    }
    state.bestLength.store(noSolutionLength, std::memory_order_relaxed);
    return BoundedSearch::notFound;
}

}  // namespace fifteen

namespace fifteen {

namespace {

// Stops the workers whose items can add no wanted first move to done.
void stopNeedless(SolverState& state, int32_t count, uint32_t wanted, uint32_t done) {
    const Frontier& frontier = state.frontier;
    for (int32_t s = 0; s < state.searchThreads; ++s) {
        const int32_t position = state.workerPosition[cell(s)].load();
        if (position < 0 || position >= count) continue;
        const int32_t item = state.firstItem + frontier.order[cell(position)];
        if ((frontier.firstMoves[cell(item)] & wanted & ~done) == 0)
            state.workerStop[cell(s)].store(0);
    }
}

}  // namespace

uint32_t findFirstMoves(SolverState& state, const TableSet& tables, int32_t total, int32_t winner,
                        int32_t count, uint32_t found, uint32_t wanted) {
    Frontier& frontier = state.frontier;
    const int32_t bound = total - state.frontierDepth;
    beginSearchPhase(state);
    publishProgressBound(state, total);
    // The first moves with a solution so far. Sequentially consistent, with the
    // worker positions, as winner and the positions in searchIteration: a worker
    // either sees its item's moves found and skips it, or is stopped.
    std::atomic<uint32_t> done{found & wanted};
    std::atomic<int32_t> cursor{winner + 1};
    uint64_t nodes = 0;
    for (int32_t s = 0; s < state.searchThreads; ++s) state.workerPosition[cell(s)].store(-1);
#pragma omp parallel num_threads(std::max(state.searchThreads, 1))
    {
        const auto slot = cell(omp_get_thread_num());
        std::atomic<int32_t>& stop = state.workerStop[slot];
        SearchWorker worker{};
        worker.context.bestLength = &stop;
        for (bool searching = true; searching;) {
            // Relaxed: the increment alone hands each position to one worker.
            const int32_t position = cursor.fetch_add(1, std::memory_order_relaxed);
            if (position >= count) break;
            const int32_t item = state.firstItem + frontier.order[cell(position)];
            const uint32_t moves = frontier.firstMoves[cell(item)] & wanted;
            // Again after a stop that was not a Cancel: a finder may have read this
            // worker's previous position and stopped the item after it.
            for (;;) {
                stop.store(noSolutionLength);
                state.workerPosition[slot].store(position);
                const uint32_t decided = done.load();
                if (decided == wanted || state.bestLength.load() < 0) {
                    searching = false;
                    break;
                }
                if ((moves & ~decided) == 0) break;
                int32_t blank = 0;
                const uint64_t before = worker.context.nodes;
                const int32_t r = searchItem(state, tables, item, bound, worker, blank);
                state.progressNodes.fetch_add(worker.context.nodes - before,
                                              std::memory_order_relaxed);
                if (r == searchFound)
                    stopNeedless(state, count, wanted, done.fetch_or(moves) | moves);
                if (r != searchStopped) break;
            }
        }
#pragma omp critical(fifteenNodeTotals)
        nodes += worker.context.nodes;
    }
    {
        std::lock_guard<std::mutex> lock(publicationLock());
        state.searchRunning = false;
        // Relaxed: the lock orders this with Cancel; the workers have joined.
        if (state.bestLength.load(std::memory_order_relaxed) < 0) state.status = solveCancelled;
    }
    state.nodes = nodes;
    return done.load();
}

}  // namespace fifteen
