#include "cli/solve_record.h"

#include "cli/result_format.h"
#include "puzzle/solution_replay.h"

namespace fifteen::cli {

void CapturedOutput::searchStarted() {
    if (showProgress_) progress_.emplace(solver_);
}

// The progress line goes (and is cleared) before the report is printed.
void CapturedOutput::searchEnded(SolveStatus) {
    progress_.reset();
}

SolveRecord solvePosition(Solver& solver, const Board& board, std::string origin, std::string input,
                          bool showProgress) {
    SolveRecord record;
    record.origin = std::move(origin);
    record.input = std::move(input);
    CapturedOutput output(solver, showProgress);
    const SolveResult result = solver.solve(board, output);
    // The search's own time (frontier and search), as in the report.
    record.ms = result.elapsedMs;
    record.report = withUnixLineEnds(output.outputText);
    record.wd = result.startWd;
    record.pdb = result.startPdb;
    record.threads = result.searchThreads;
    record.maxThreads = result.maxThreads;
    record.nodes = result.nodes;
    record.nodesBelowFinalBound = result.nodesBelowFinalBound;
    record.status = result.status;
    if (record.status == solveSolved) {
        // A late Ctrl-C cannot touch a finished result (Solver::cancel), so the
        // length is the search's.
        record.length = result.length;
        record.moves.assign(result.moves.begin(), result.moves.begin() + record.length);
        replaySolution(board, record.moves, record.directions);
    } else if (record.status == solveInvalid) {
        record.error = "not a position of the puzzle";
    }
    return record;
}

}  // namespace fifteen::cli
