#pragma once

#include <cstdint>

#include "puzzle/board.h"
#include "search/solve_output.h"
#include "search/solver_state.h"

namespace fifteen {

// One solve of shownBoard on the calling thread, over the program's tables and its
// solver record (solverState). The tables must be complete and
// solverState.maxThreads set. Afterwards solverState holds the result (status,
// bestLength, solution), the start values (startWd, startPdb, itemCount) and the
// figures of the run (elapsedMs, nodes, nodesBelowFinalBound). With more than
// one thread, solverState.parallelDesign chooses the search; with one, both are
// the search of the start node. A board without
// exactly one of each value 0..15 is rejected before any search: status
// solveInvalid, status line "Invalid", the reason in the output box. Cancel
// goes through requestCancel (search/parallel_search.h) from any thread.
void solveJob(const Board& shownBoard, SolveOutput& output);

// The result of the last solve in state.
SolveResult solveResultOf(const SolverState& state);

}  // namespace fifteen
