#pragma once

// Interface sketch agreed between the search, command-line and desktop work; the
// search implementation owns this file and may extend it, keeping these names.

#include <cstdint>

#include "puzzle/board.h"
#include "search/solver_state.h"

namespace fifteen {

// Where a solve job writes what it shows. The desktop program, the command-line
// solver and the tests each implement it. Calls come from the thread that runs
// the job.
class SolveOutput {
  public:
    virtual ~SolveOutput() = default;
    // The whole output box: the problem and the report, "\r\n" line ends.
    virtual void setOutputText(const char* text) = 0;
    virtual void setStatusText(const char* text) = 0;
    virtual void setSecondsText(const char* text) = 0;
    virtual void setSolutionAvailable(bool available) = 0;
    virtual void setPlaybackPosition(int32_t position) = 0;
    // Around the parallel search, when the frontier stage has left one to run:
    // searchStarted after the status line with the start values, searchEnded with
    // the search's status (solveSolved or solveCancelled) before the report. A
    // solve answered by the frontier stage (unsolvable, invalid, goal within the
    // first levels) makes neither call. Between the two, readSearchProgress shows
    // the running search.
    virtual void searchStarted() {}
    virtual void searchEnded(SolveStatus status) { static_cast<void>(status); }
    // Last call of the job (the completion message): the report is complete.
    virtual void solveFinished() = 0;
};

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

}  // namespace fifteen
