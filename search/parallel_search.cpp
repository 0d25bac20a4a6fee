#include "search/parallel_search.h"

#include <algorithm>
#include <cstddef>
#include <mutex>

#include "search/frontier.h"

namespace fifteen {

namespace {

// Publishers exclude each other and requestCancel with this lock; a cancel stored
// straight into bestLength (the command line's signal handler) is excluded by the
// compare-and-swap on bestLength.
std::mutex publicationMutex;

// The per-item design: the item's own iterations, from its lower bound up by 2,
// until it finds or is stopped.
void deepenItem(SolverState& state, const TableSet& tables, int32_t item, SearchWorker& worker) {
    const NodeBounds& start = itemBounds(state, item);
    const int32_t depth = state.frontier.depth[static_cast<std::size_t>(item)];
    for (int32_t bound = std::max(start.wd, start.pdb);; bound += 2) {
        const uint64_t before = worker.context.nodes;
        publishProgressBound(state, depth + bound);
        int32_t blank = 0;
        const int32_t r = searchItem(state, tables, item, bound, worker, blank);
        const auto slot = std::min(static_cast<std::size_t>(bound), worker.nodesAtBound.size() - 1);
        worker.nodesAtBound[slot] += worker.context.nodes - before;
        state.progressNodes.fetch_add(worker.context.nodes - before, std::memory_order_relaxed);
        if (r == searchFound) publishSolution(state, item, bound, worker, blank);
        if (r != searchNotFound) return;
    }
}

}  // namespace

std::mutex& publicationLock() {
    return publicationMutex;
}

void publishProgressBound(SolverState& state, int32_t bound) {
    int32_t shown = state.progressBound.load(std::memory_order_relaxed);
    while (bound > shown &&
           !state.progressBound.compare_exchange_weak(shown, bound, std::memory_order_relaxed)) {
    }
}

void beginSearchPhase(SolverState& state) {
    state.progressBound.store(0, std::memory_order_relaxed);
    state.progressNodes.store(0, std::memory_order_relaxed);
    std::lock_guard<std::mutex> lock(publicationMutex);
    state.searchRunning = true;
    if (state.cancelRequested) state.bestLength.store(cancelRequest, std::memory_order_relaxed);
}

void endSearchPhase(SolverState& state, uint64_t nodes, const NodesByBound& nodesAtBound) {
    state.nodes = nodes;
    int32_t finalBound = 0;
    {
        std::lock_guard<std::mutex> lock(publicationMutex);
        state.searchRunning = false;
        finalBound = state.bestLength.load(std::memory_order_relaxed);
    }
    state.nodesBelowFinalBound = 0;
    for (std::size_t b = 0; b < nodesAtBound.size() && static_cast<int32_t>(b) < finalBound; ++b) {
        state.nodesBelowFinalBound += nodesAtBound[b];
    }
    if (finalBound < 0) {
        state.bestLength.store(0, std::memory_order_relaxed);
        state.status = solveCancelled;
    } else {
        state.bestLength.store(finalBound + state.frontierDepth, std::memory_order_relaxed);
        state.status = solveSolved;
    }
}

SearchProgress readSearchProgress(const SolverState& state) {
    return {state.progressBound.load(std::memory_order_relaxed),
            state.progressNodes.load(std::memory_order_relaxed)};
}

const NodeBounds& itemBounds(const SolverState& state, int32_t item) {
    return state.frontier.itemBounds[static_cast<std::size_t>(item - state.firstItem)];
}

void prepareItems(SolverState& state, const TableSet& tables) {
    Frontier& frontier = state.frontier;
#pragma omp parallel for schedule(static) num_threads(std::max(state.searchThreads, 1))
    for (int32_t offset = 0; offset < state.itemCount; ++offset) {
        Board board{};
        unpackBoard(frontier.key[static_cast<std::size_t>(state.firstItem + offset)], board);
        frontier.itemBounds[static_cast<std::size_t>(offset)] = tables.boundsOf(board);
    }
}

int32_t searchItem(const SolverState& state, const TableSet& tables, int32_t item, int32_t bound,
                   SearchWorker& worker, int32_t& blank) {
    const NodeBounds& start = itemBounds(state, item);
    if (std::max(start.wd, start.pdb) > bound) return searchNotFound;
    const auto node = static_cast<std::size_t>(item);
    blank = unpackBoard(state.frontier.key[node], worker.board);
    return tables.search(worker.board, blank, state.frontier.prevBlank[node], start, bound,
                         worker.pathBuffer.data(), worker.context);
}

bool writeItemSolution(SolverState& state, int32_t item, int32_t bound, SearchWorker& worker,
                       int32_t blank) {
    if (state.frontierDepth + bound > solutionCapacity) return false;
    std::copy(worker.pathBuffer.begin(), worker.pathBuffer.begin() + bound,
              state.solution.begin() + static_cast<std::ptrdiff_t>(state.frontierDepth));
    writePathToNode(state.frontier, item, worker.board, blank, state.solution.data());
    return true;
}

bool publishSolution(SolverState& state, int32_t item, int32_t bound, SearchWorker& worker,
                     int32_t blank) {
    std::lock_guard<std::mutex> lock(publicationMutex);
    if (state.frontierDepth + bound > solutionCapacity) return false;
    // Relaxed suffices: the lock orders publishers, and the solution is read only
    // after the pool has joined.
    int32_t current = state.bestLength.load(std::memory_order_relaxed);
    do {
        if (bound >= current) return false;
    } while (!state.bestLength.compare_exchange_weak(current, bound, std::memory_order_relaxed));
    return writeItemSolution(state, item, bound, worker, blank);
}

void requestCancel(SolverState& state) {
    std::lock_guard<std::mutex> lock(publicationMutex);
    state.cancelRequested = true;
    if (state.searchRunning) storeCancelRequest(state);
}

void storeCancelRequest(SolverState& state) {
    // Sequentially consistent, bestLength first: see searchIteration in
    // shared_deepening.cpp for why a worker then cannot miss the request.
    state.bestLength.store(cancelRequest);
    for (std::atomic<int32_t>& stop : state.workerStop) stop.store(cancelRequest);
}

void clearCancelRequest(SolverState& state) {
    std::lock_guard<std::mutex> lock(publicationMutex);
    state.cancelRequested = false;
}

bool isCancelRequested(SolverState& state) {
    std::lock_guard<std::mutex> lock(publicationMutex);
    return state.cancelRequested;
}

void searchFrontierItems(SolverState& state, const TableSet& tables, SearchWorker& worker) {
#pragma omp for schedule(static)
    for (int32_t item = state.firstItem; item <= state.lastItem; ++item) {
        deepenItem(state, tables, item, worker);
    }
}

void runParallelSearch(SolverState& state, const TableSet& tables) {
    NodesByBound nodesAtBound{};
    uint64_t nodes = 0;
    prepareItems(state, tables);
    beginSearchPhase(state);
#pragma omp parallel num_threads(std::max(state.itemCount, 1))
    {
        SearchWorker worker{};
        worker.context.bestLength = &state.bestLength;
        searchFrontierItems(state, tables, worker);
#pragma omp critical(fifteenNodeTotals)
        {
            nodes += worker.context.nodes;
            for (std::size_t b = 0; b < nodesAtBound.size(); ++b) {
                nodesAtBound[b] += worker.nodesAtBound[b];
            }
        }
    }
    endSearchPhase(state, nodes, nodesAtBound);
}

}  // namespace fifteen
