#pragma once

#include <cstdint>

#include "puzzle/board.h"
#include "search/solve_output.h"
#include "search/solver_state.h"
#include "search/table_set.h"

namespace fifteen {

// One solve of shownBoard on the calling thread, over the tables and in the
// record state; the tables must be complete and state.maxThreads set. Afterwards
// state holds the result (status, bestLength, solution), the start values
// (startWd, startPdb, itemCount) and the figures of the run (elapsedMs, nodes,
// nodesBelowFinalBound). With more than one thread, state.parallelDesign chooses
// the search; with one, both are the search of the start node. A board without
// exactly one of each value 0..15 is rejected before any search: status
// solveInvalid, status line "Invalid", the reason in the output box. Cancel
// goes through requestCancel (search/parallel_search.h) from any thread.
void solveJob(SolverState& state, const TableSet& tables, const Board& shownBoard,
              SolveOutput& output);

// The same over the program's record and default table set.
void solveJob(const Board& shownBoard, SolveOutput& output);

// The result of the last solve in state.
SolveResult solveResultOf(const SolverState& state);

}  // namespace fifteen
