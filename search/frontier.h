#pragma once

#include <cstdint>

#include "puzzle/board.h"
#include "search/solver_state.h"
#include "search/table_set.h"

namespace fifteen {

// The breadth-first stage of a solve, on state.problem: start values, parity
// test, goal test and expansion. Returns solveInvalid (not exactly one of each
// value 0..15; nothing else is done), solveUnsolvable, solveSolved (the goal
// is the start or was met in the expansion; bestLength and solution hold it) or
// solveFrontierReady (the search layer firstItem..lastItem is set). Needs the
// complete tables, and state.maxThreads >= 1.
SolveStatus buildFrontier(SolverState& state, const TableSet& tables);

// The same stage for shared deepening: the expansion goes on
// to the first level of at least sharedItemTarget nodes, whatever maxThreads is,
// so that every thread count searches the same items. Sets searchThreads to
// the smaller of itemCount and maxThreads. startPrevBlank is the start node's
// previous blank cell: a move back into it is never generated (-1: none). A
// single bounded iteration may ask for a smaller layer (layerTarget): its items
// need no balance over many iterations, and each costs a lookup.
SolveStatus buildSharedFrontier(SolverState& state, const TableSet& tables,
                                int32_t startPrevBlank = -1,
                                int32_t layerTarget = sharedItemTarget);

// Writes the moves from the start node to frontier node `node` into
// solution[0 .. depth(node) - 1], walking the parent links backwards. board holds
// the node's position with its blank in cell blank; on return it holds the start
// position.
void writePathToNode(const Frontier& frontier, int32_t node, Board& board, int32_t blank,
                     int32_t* solution);

}  // namespace fifteen
