#include "search/frontier.h"

#include <cstddef>

#include "heuristics/pdb/pattern_db.h"
#include "heuristics/wd/wd_eval.h"

namespace fifteen {

namespace {

inline std::size_t cell(int32_t index) {
    return static_cast<std::size_t>(index);
}

bool isStored(const Frontier& frontier, BoardKey key, int32_t prevBlank) {
    for (std::size_t i = 0; i < cell(frontier.nodeCount); ++i) {
        if (frontier.key[i] == key && frontier.prevBlank[i] == prevBlank) return true;
    }
    return false;
}

// The search layer: the nodes of depth frontierDepth, which lie together.
void selectSearchLayer(SolverState& state) {
    const Frontier& frontier = state.frontier;
    state.firstItem = -1;
    state.itemCount = 0;
    for (int32_t i = 0; i < frontier.nodeCount; ++i) {
        if (frontier.depth[cell(i)] != state.frontierDepth) continue;
        ++state.itemCount;
        if (state.firstItem == -1) state.firstItem = i;
        state.lastItem = i;
    }
}

}  // namespace

void writePathToNode(const Frontier& frontier, int32_t node, Board& board, int32_t blank,
                     int32_t* solution) {
    for (int32_t x = node; frontier.parent[cell(x)] != -1; x = frontier.parent[cell(x)]) {
        const int32_t from = frontier.prevBlank[cell(x)];
        const int32_t tile = board[cell(from)];
        solution[frontier.depth[cell(x)] - 1] = tile;
        board[cell(from)] = 0;
        board[cell(blank)] = tile;
        blank = from;
    }
}

SolveStatus buildFrontier(SolverState& state) {
    const Board& problem = state.problem;
    state.itemCount = 1;
    // The lookups below presume a board; a repeated or missing tile has no record.
    if (!isValidBoard(problem)) {
        state.startWd = 0;
        state.startPdb = 0;
        return solveInvalid;
    }
    state.startWd =
        findRowRecord(wdTable, problem)->distance + findColumnRecord(wdTable, problem)->distance;
    int32_t unusedMaxDepth = 0;
    state.startPdb = lookupPatternDbs(problem, unusedMaxDepth);
    if (!isSolvable(problem)) return solveUnsolvable;

    Frontier& frontier = state.frontier;
    state.bestLength.store(noSolutionLength, std::memory_order_relaxed);
    state.goalKey = packBoard(goalBoard);
    frontier.key[0] = packBoard(problem);
    frontier.prevBlank[0] = -1;
    frontier.parent[0] = -1;
    frontier.depth[0] = 0;
    frontier.nodeCount = 1;
    state.frontierDepth = 0;
    if (frontier.key[0] == state.goalKey) {
        state.bestLength.store(0, std::memory_order_relaxed);
        return solveSolved;
    }

    Board work{};
    int32_t next = 0;
    int32_t newestCount = 0;
    int32_t depth = 0;
    for (bool expanding = true; expanding;) {
        const int32_t blank = unpackBoard(frontier.key[cell(next)], work);
        const int32_t prevBlank = frontier.prevBlank[cell(next)];
        depth = frontier.depth[cell(next)];
        const int32_t parent = next++;
        if (depth + 1 > state.frontierDepth) {
            state.frontierDepth = depth + 1;
            newestCount = 0;
        }
        for (int32_t k = 0; k < neighborCount[cell(blank)]; ++k) {
            const int32_t n = neighbors[cell(blank)][cell(k)];
            if (n == prevBlank) continue;
            const int32_t tile = work[cell(n)];
            applyMove(work, blank, n);
            const BoardKey childKey = packBoard(work);
            if (childKey == state.goalKey) {
                state.solution[cell(depth)] = tile;
                applyMove(work, n, blank);
                writePathToNode(frontier, parent, work, blank, state.solution.data());
                state.bestLength.store(depth + 1, std::memory_order_relaxed);
                state.itemCount = 1;
                return solveSolved;
            }
            if (!isStored(frontier, childKey, blank)) {
                if (frontier.nodeCount == frontierCapacity || newestCount == state.maxThreads) {
                    expanding = false;
                    break;
                }
                const std::size_t slot = cell(frontier.nodeCount++);
                frontier.key[slot] = childKey;
                frontier.prevBlank[slot] = blank;
                frontier.parent[slot] = parent;
                frontier.depth[slot] = depth + 1;
                ++newestCount;
            }
            applyMove(work, n, blank);
        }
        if (next == frontier.nodeCount) expanding = false;
    }
    state.frontierDepth = depth;
    selectSearchLayer(state);
    return solveFrontierReady;
}

}  // namespace fifteen
