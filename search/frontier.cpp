#include "search/frontier.h"

#include <algorithm>
#include <cstddef>

namespace fifteen {

namespace {

inline std::size_t cell(int32_t index) {
    return static_cast<std::size_t>(index);
}

// A node is its (key, prevBlank); both designs find stored nodes by this index.
struct HashIndex {
    Frontier& frontier;
    static_assert((Frontier::slotCount & (Frontier::slotCount - 1)) == 0);
    static std::size_t firstSlot(BoardKey key, int32_t prevBlank) {
        const uint64_t h =
            (key ^ static_cast<uint64_t>(prevBlank + 1)) * uint64_t{0x9E3779B97F4A7C15};
        return static_cast<std::size_t>(h >> 40) & (Frontier::slotCount - 1);
    }
    // The empty slot where the node would go, or the slot holding it.
    std::size_t find(BoardKey key, int32_t prevBlank) const {
        std::size_t s = firstSlot(key, prevBlank);
        for (;; s = (s + 1) & (Frontier::slotCount - 1)) {
            const int32_t stored = frontier.slot[s];
            if (stored == 0) return s;
            const std::size_t i = cell(stored - 1);
            if (frontier.key[i] == key && frontier.prevBlank[i] == prevBlank) return s;
        }
    }
    void add(int32_t node) {
        const std::size_t i = cell(node);
        frontier.slot[find(frontier.key[i], frontier.prevBlank[i])] = node + 1;
        frontier.indexed = node + 1;
    }
    // Empties slot. Each stored node lies in the run of full slots from its first
    // slot on, so clearing every such run to its end clears them all; a run
    // cleared before leaves no later node's run cut short (it ended at an empty
    // slot, which no later node's run crosses).
    void clear() {
        if (frontier.indexed < 0 || frontier.indexed > Frontier::slotCount / 64) {
            frontier.slot.fill(0);
        } else {
            for (std::size_t i = 0; i < cell(frontier.indexed); ++i) {
                std::size_t s = firstSlot(frontier.key[i], frontier.prevBlank[i]);
                for (; frontier.slot[s] != 0; s = (s + 1) & (Frontier::slotCount - 1)) {
                    frontier.slot[s] = 0;
                }
            }
        }
        frontier.indexed = 0;
    }
};

// The search layer: the nodes of depth frontierDepth, which lie together.
void selectSearchLayer(SolverState& state, const Frontier& frontier) {
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

namespace {

// The start values, the parity and goal tests, and the breadth-first expansion
// into the frontier. The expansion ends before a level would get more than
// layerLimit nodes or the frontier more than nodeLimit (the search layer is then
// the last complete level), or once a complete level has at least layerTarget
// nodes (that level).
SolveStatus expandFrontier(SolverState& state, const TableSet& tables, int32_t nodeLimit,
                           int32_t layerLimit, int32_t layerTarget, int32_t startPrevBlank) {
    const Board& problem = state.problem;
    Frontier& frontier = state.frontier;
    HashIndex index{frontier};
    index.clear();
    state.itemCount = 1;
    state.searchThreads = 1;
    // The lookups below presume a board; a repeated or missing tile has no record.
    if (!isValidBoard(problem)) {
        state.startWd = 0;
        state.startPdb = 0;
        return solveInvalid;
    }
    const NodeBounds start = tables.boundsOf(problem);
    state.startWd = start.wd;
    state.startPdb = start.pdb;
    if (!isSolvable(problem)) return solveUnsolvable;

    state.bestLength.store(noSolutionLength, std::memory_order_relaxed);
    state.goalKey = packBoard(goalBoard);
    frontier.key[0] = packBoard(problem);
    frontier.prevBlank[0] = startPrevBlank;
    frontier.parent[0] = -1;
    frontier.depth[0] = 0;
    frontier.firstMoves[0] = 0;
    frontier.nodeCount = 1;
    index.add(0);
    state.frontierDepth = 0;
    if (frontier.key[0] == state.goalKey) {
        state.bestLength.store(0, std::memory_order_relaxed);
        return solveSolved;
    }

    Board work{};
    int32_t next = 0;
    int32_t newestCount = 1;
    int32_t depth = 0;
    for (bool expanding = true; expanding;) {
        const int32_t blank = unpackBoard(frontier.key[cell(next)], work);
        const int32_t prevBlank = frontier.prevBlank[cell(next)];
        depth = frontier.depth[cell(next)];
        const int32_t parent = next++;
        if (depth + 1 > state.frontierDepth) {
            if (newestCount >= layerTarget) break;  // level depth is complete
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
            const uint8_t firstMoves =
                depth == 0 ? static_cast<uint8_t>(1U << k) : frontier.firstMoves[cell(parent)];
            const int32_t stored = frontier.slot[index.find(childKey, blank)];
            if (stored != 0) {
                const std::size_t other = cell(stored - 1);
                if (frontier.depth[other] == depth + 1) frontier.firstMoves[other] |= firstMoves;
            } else {
                if (frontier.nodeCount == nodeLimit || newestCount == layerLimit) {
                    expanding = false;
                    break;
                }
                const std::size_t slot = cell(frontier.nodeCount++);
                frontier.key[slot] = childKey;
                frontier.prevBlank[slot] = blank;
                frontier.parent[slot] = parent;
                frontier.depth[slot] = depth + 1;
                frontier.firstMoves[slot] = firstMoves;
                index.add(frontier.nodeCount - 1);
                ++newestCount;
            }
            applyMove(work, n, blank);
        }
        if (next == frontier.nodeCount) expanding = false;
    }
    state.frontierDepth = depth;
    selectSearchLayer(state, frontier);
    return solveFrontierReady;
}

}  // namespace

SolveStatus buildFrontier(SolverState& state, const TableSet& tables) {
    const SolveStatus status =
        expandFrontier(state, tables, frontierCapacity, state.maxThreads, frontierCapacity + 1, -1);
    state.searchThreads = state.itemCount;
    return status;
}

SolveStatus buildSharedFrontier(SolverState& state, const TableSet& tables, int32_t startPrevBlank,
                                int32_t layerTarget) {
    const SolveStatus status = expandFrontier(state, tables, sharedFrontierCapacity,
                                              sharedFrontierCapacity, layerTarget, startPrevBlank);
    state.searchThreads = std::min({state.itemCount, state.maxThreads, maxSharedThreads});
    return status;
}

}  // namespace fifteen
