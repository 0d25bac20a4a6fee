#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "puzzle/board.h"
#include "search/table_set.h"

namespace fifteen {

using SolveStatus = int32_t;
inline constexpr SolveStatus solveFrontierReady = 0;
inline constexpr SolveStatus solveUnsolvable = 2;
inline constexpr SolveStatus solveSolved = 3;
inline constexpr SolveStatus solveCancelled = 4;
// Not a status of the search: the problem was not a board (repeated or missing
// tile); rejected before any search.
inline constexpr SolveStatus solveInvalid = 5;

// The per-item design's frontier holds at most this many nodes.
inline constexpr int32_t frontierCapacity = 1000;
// Shared deepening searches the first breadth-first layer of at least
// sharedItemTarget nodes: with fewer, larger items the largest one bounds the
// time on many cores (the scaling benchmark). Layers grow about 2.1 times a
// level, so that layer (at most about 20,000) and all above it stay well below
// the capacity; should one not, the last complete level is searched.
inline constexpr int32_t sharedItemTarget = 8000;
inline constexpr int32_t sharedFrontierCapacity = 65536;
// Threads of shared deepening at most (one stop slot each).
inline constexpr int32_t maxSharedThreads = 1024;
inline constexpr int32_t solutionCapacity = 82;
// bestLength before a search: no bound reaches it (as neverCheckDepth, the same
// number, is a depth no search reaches).
inline constexpr int32_t noSolutionLength = 82;
// Written into bestLength by Cancel; every search bound is at or above it.
inline constexpr int32_t cancelRequest = -100;

// Breadth-first nodes in the order generated, so depths never decrease along the
// list. A node is (key, prevBlank): the same board reached by a different last
// move is a different node, since the searches from it differ. Both parallel
// designs expand into it, each to its own limits; the items are the nodes of
// the search layer, firstItem..lastItem.
struct Frontier {
    static constexpr int32_t capacity = sharedFrontierCapacity;
    std::array<BoardKey, capacity> key;
    std::array<int32_t, capacity> prevBlank;  // -1 for the start node
    std::array<int32_t, capacity> parent;     // -1 for the start node
    std::array<int32_t, capacity> depth;
    // The first moves of the shortest paths that reach each node: bit k for the
    // start blank's neighbour k. A node reached again at its own depth gets the
    // new path's first moves too (move analysis asks which first moves lead to
    // a solution).
    std::array<uint8_t, capacity> firstMoves;
    int32_t nodeCount;
    // Open-addressing index of the stored nodes by (key, prevBlank): node + 1, 0
    // for an empty slot. Twice the capacity, so probes stay short.
    static constexpr int32_t slotCount = 2 * capacity;
    std::array<int32_t, slotCount> slot;
    // Nodes 0..indexed-1 are all slot holds; -1 until it is known clear. A solve
    // then clears their probe runs only, not the whole index: a one-thread solve
    // indexes one node, and clearing all of slot would cost more than most
    // small searches.
    int32_t indexed = -1;
    // By item offset from firstItem: the start values of each item's searches,
    // found once per solve (the record searches cost more than small items).
    std::array<NodeBounds, capacity> itemBounds;
    // Shared deepening: each item's node count in the last iteration, and the
    // items of the current one, those whose lower bound is within it: first the
    // earlier iterations' by their nodes, then those new to it.
    std::array<uint64_t, capacity> itemNodes;
    std::array<int32_t, capacity> order;
};

// How more than one thread shares the search. Zero, the record's start value, is
// the default of both front ends.
enum class ParallelDesign : int32_t {
    // One bound for all threads, many small items taken dynamically per iteration.
    shared = 0,
    // One thread per item of a layer of at most maxThreads items, each deepening
    // on its own.
    items = 1,
};

struct SolverState {
    Board problem;
    int32_t maxThreads;
    SolveStatus status;
    ParallelDesign parallelDesign;
    Frontier frontier;
    BoardKey goalKey;
    int32_t frontierDepth;  // while buildFrontier runs: the depth being generated
    int32_t firstItem;
    int32_t lastItem;
    int32_t itemCount;
    // Threads that search: itemCount for the per-item design, at most maxThreads.
    int32_t searchThreads;
    // Read by every search call on every worker while a publishing worker or Cancel
    // writes it. Relaxed loads suffice for the stop test: a stale value only delays
    // the stop by a call; publication orders itself under its own lock.
    std::atomic<int32_t> bestLength;
    std::array<int32_t, solutionCapacity> solution;
    int32_t startWd;
    int32_t startPdb;
    int32_t maxDepthA;
    int32_t maxDepthB;
    // Search nodes (depthFirstSearch calls) of the last solve, and of its
    // iterations below the final bound: with a fixed thread count the latter does
    // not depend on timing.
    uint64_t nodes;
    uint64_t nodesBelowFinalBound;
    // Cancel hand-over (see requestCancel), guarded by the publication lock: a
    // request made before the parallel search starts is applied when it starts,
    // and one made after it has ended cannot turn the result into -100.
    bool cancelRequested;
    bool searchRunning;
    // Live progress of the running search, for display only (see
    // readSearchProgress): the largest total bound begun and the nodes counted so
    // far. Written by the workers, read by any thread; relaxed loads and stores
    // suffice for a value that is only shown.
    // Shared deepening: each worker searches against its own stop value, so that
    // the items after a winner can be stopped while those before it go on; Cancel
    // writes them all (storeCancelRequest). workerPosition is the order position
    // of the item each worker has taken. Their memory order is explained where
    // they are used (shared_deepening.cpp).
    std::array<std::atomic<int32_t>, maxSharedThreads> workerStop;
    std::array<std::atomic<int32_t>, maxSharedThreads> workerPosition;
    std::atomic<int32_t> progressBound;
    std::atomic<uint64_t> progressNodes;
    // Shared deepening's last iteration: the order position of the item that
    // gave the solution and the number of items in the order (move analysis
    // goes on from there).
    int32_t sharedWinner;
    int32_t sharedActive;
    // Milliseconds of the last solve's frontier and search (the report's time).
    int64_t elapsedMs;
};

// The program's solver record, zero at start. Several megabytes: a record of
// one's own goes on the heap.
extern SolverState solverState;

}  // namespace fifteen
