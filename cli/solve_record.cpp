#include "cli/solve_record.h"

#include "cli/result_format.h"
#include "puzzle/solution_replay.h"
#include "search/solver_state.h"

namespace fifteen::cli {

void CapturedOutput::searchStarted() {
    if (showProgress_) progress_.emplace();
}

// The progress line goes (and is cleared) before the report is printed.
void CapturedOutput::searchEnded(SolveStatus) {
    progress_.reset();
}

SolveRecord solvePosition(const Board& board, std::string origin, std::string input,
                          bool showProgress) {
    SolveRecord record;
    record.origin = std::move(origin);
    record.input = std::move(input);
    CapturedOutput output(showProgress);
    solveJob(board, output);
    // The search's own time (frontier and search), as in the report.
    record.ms = solverState.elapsedMs;
    record.report = withUnixLineEnds(output.outputText);
    record.wd = solverState.startWd;
    record.pdb = solverState.startPdb;
    record.threads = solverState.searchThreads;
    record.maxThreads = solverState.maxThreads;
    record.nodes = solverState.nodes;
    record.nodesBelowFinalBound = solverState.nodesBelowFinalBound;
    record.status = solverState.status;
    if (record.status == solveSolved) {
        // A late Ctrl-C cannot touch a finished result (requestCancel), so the
        // length is the search's.
        record.length = solverState.bestLength.load(std::memory_order_relaxed);
        record.moves.assign(solverState.solution.begin(),
                            solverState.solution.begin() + record.length);
        replaySolution(board, record.moves, record.directions);
    } else if (record.status == solveInvalid) {
        record.error = "not a position of the puzzle";
    }
    return record;
}

}  // namespace fifteen::cli
