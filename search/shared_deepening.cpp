#include "search/shared_deepening.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <mutex>

#include <omp.h>

#include "heuristics/pdb/pattern_db.h"
#include "heuristics/wd/wd_eval.h"
#include "search/frontier.h"

namespace fifteen {

namespace {

inline std::size_t cell(int32_t index) {
    return static_cast<std::size_t>(index);
}

// Keeps the solution of the item at order position `position` if it is earlier
// than the best of this iteration so far, and stops the workers on later items.
// Under the publication lock, so that two finders' moves never mix and a Cancel
// is not answered by a late candidate.
void offerSolution(SolverState& state, int32_t position, int32_t item, int32_t bound,
                   SearchWorker& worker, int32_t blank, std::atomic<int32_t>& winner) {
    std::lock_guard<std::mutex> lock(publicationLock());
    if (position >= winner.load()) return;
    if (state.bestLength.load(std::memory_order_relaxed) < 0) return;
    if (state.frontierDepth + bound > solutionCapacity) return;
    std::copy(worker.pathBuffer.begin(), worker.pathBuffer.begin() + bound,
              state.solution.begin() + state.frontierDepth);
    writePathToNode(state.sharedFrontier, item, worker.board, blank, state.solution.data());
    winner.store(position);
    for (int32_t s = 0; s < state.searchThreads; ++s) {
        // Any stop value not above bound ends that worker's search at its next call.
        if (state.workerPosition[cell(s)].load() > position) state.workerStop[cell(s)].store(0);
    }
}

// The order of the next iteration: most nodes in this one first, ties by item.
void orderBySize(SharedFrontier& frontier, int32_t count) {
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
// after the reset and the search ends at its next call.
int32_t searchIteration(SolverState& state, int32_t bound, int32_t count, uint64_t& nodes) {
    SharedFrontier& frontier = state.sharedFrontier;
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
            if (position > winner.load() || state.bestLength.load() < 0) break;
            const int32_t offset = frontier.order[cell(position)];
            const int32_t item = state.firstItem + offset;
            const uint64_t before = worker.context.nodes;
            int32_t blank = 0;
            const int32_t r = searchSharedItem(state, item, bound, worker, blank);
            // Read by the solve thread after the region has joined.
            frontier.itemNodes[cell(offset)] = worker.context.nodes - before;
            state.progressNodes.fetch_add(worker.context.nodes - before, std::memory_order_relaxed);
            if (r == searchFound)
                offerSolution(state, position, item, bound, worker, blank, winner);
            if (r == searchStopped) break;
        }
#pragma omp critical(fifteenNodeTotals)
        nodes += worker.context.nodes;
    }
    return winner.load();
}

}  // namespace

void prepareSharedItems(SolverState& state) {
    SharedFrontier& frontier = state.sharedFrontier;
#pragma omp parallel for schedule(static) num_threads(std::max(state.searchThreads, 1))
    for (int32_t offset = 0; offset < state.itemCount; ++offset) {
        const auto i = cell(offset);
        Board board{};
        unpackBoard(frontier.key[cell(state.firstItem + offset)], board);
        frontier.rowRecord[i] = findRowRecord(wdTable, board);
        frontier.columnRecord[i] = findColumnRecord(wdTable, board);
        frontier.wd[i] = frontier.rowRecord[i]->distance + frontier.columnRecord[i]->distance;
        frontier.pdb[i] = lookupPatternDbs(board, frontier.pdbMaxDepth[i]);
    }
}

int32_t searchSharedItem(const SolverState& state, int32_t item, int32_t bound,
                         SearchWorker& worker, int32_t& blank) {
    const SharedFrontier& frontier = state.sharedFrontier;
    const auto i = cell(item - state.firstItem);
    const int32_t wd = frontier.wd[i];
    const int32_t p = frontier.pdb[i];
    if (std::max(wd, p) > bound) return searchNotFound;
    Board& board = worker.board;
    blank = unpackBoard(frontier.key[cell(item)], board);
    const int32_t nextCheckDepth =
        wd >= p ? neverCheckDepth : scheduleCheckDepth(0, p, frontier.pdbMaxDepth[i], bound);
    return depthFirstSearch(board, blank, frontier.prevBlank[cell(item)], *frontier.rowRecord[i],
                            *frontier.columnRecord[i], 0, bound, nextCheckDepth,
                            worker.pathBuffer.data(), worker.context);
}

// Appends to the order, by item, the items whose lower bound lies in
// (previousBound, bound]: most items of a deep layer are far above the first
// bounds, and handing each out would cost more than the small ones' searches.
// Returns the new length of the order.
int32_t admitItems(SharedFrontier& frontier, int32_t itemCount, int32_t active,
                   int32_t previousBound, int32_t bound) {
    for (int32_t i = 0; i < itemCount; ++i) {
        const int32_t lowerBound = std::max(frontier.wd[cell(i)], frontier.pdb[cell(i)]);
        if (lowerBound > previousBound && lowerBound <= bound) frontier.order[cell(active++)] = i;
    }
    return active;
}

void runSharedDeepening(SolverState& state) {
    SharedFrontier& frontier = state.sharedFrontier;
    const int32_t count = state.itemCount;
    // An item is searched from the iteration its lower bound admits it; in every
    // later one it has nodes (its root at least), so the order stays by size first.
    int32_t active = 0;
    int32_t previousBound = -1;
    NodesByBound nodesAtBound{};
    uint64_t nodes = 0;
    prepareSharedItems(state);
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
        const int32_t winner = searchIteration(state, bound, active, iterationNodes);
        nodes += iterationNodes;
        nodesAtBound[std::min(cell(bound), nodesAtBound.size() - 1)] += iterationNodes;
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
