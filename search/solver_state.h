#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "puzzle/board.h"

namespace fifteen {

using SolveStatus = int32_t;
inline constexpr SolveStatus solveFrontierReady = 0;
inline constexpr SolveStatus solveUnsolvable = 2;
inline constexpr SolveStatus solveSolved = 3;
inline constexpr SolveStatus solveCancelled = 4;
// Not a status of the search: the problem was not a board (repeated or missing
// tile); rejected before any search.
inline constexpr SolveStatus solveInvalid = 5;

inline constexpr int32_t frontierCapacity = 1000;
inline constexpr int32_t solutionCapacity = 82;
// bestLength before a search, and as a check depth "never": no bound reaches it.
inline constexpr int32_t noSolutionLength = 82;
inline constexpr int32_t neverCheckDepth = 82;
// Written into bestLength by Cancel; every search bound is at or above it.
inline constexpr int32_t cancelRequest = -100;

// Breadth-first nodes in the order generated, so depths never decrease along the
// list. A node is (key, prevBlank): the same board reached by a different last
// move is a different node, since the searches from it differ.
struct Frontier {
    std::array<BoardKey, frontierCapacity> key;
    std::array<int32_t, frontierCapacity> prevBlank;  // -1 for the start node
    std::array<int32_t, frontierCapacity> parent;     // -1 for the start node
    std::array<int32_t, frontierCapacity> depth;
    int32_t nodeCount;
};

struct SolverState {
    Board problem;
    int32_t maxThreads;
    SolveStatus status;
    Frontier frontier;
    BoardKey goalKey;
    int32_t frontierDepth;  // while buildFrontier runs: the depth being generated
    int32_t firstItem;
    int32_t lastItem;
    int32_t itemCount;
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
    std::atomic<int32_t> progressBound;
    std::atomic<uint64_t> progressNodes;
    // Milliseconds of the last solve's frontier and search (the report's time).
    int64_t elapsedMs;
};

// The program's solver record, zero at start.
extern SolverState solverState;

}  // namespace fifteen
