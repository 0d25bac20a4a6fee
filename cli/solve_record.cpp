#include "cli/solve_record.h"

#include "cli/result_format.h"
#include "puzzle/solution_replay.h"
#include "search/report.h"

namespace fifteen::cli {

void CapturedOutput::searchStarted() {
    if (showProgress_) progress_.emplace(solver_);
}

// The progress line goes (and is cleared) before the report is printed.
void CapturedOutput::searchEnded(SolveStatus) {
    progress_.reset();
}

namespace {

// The report of solveJob, written again for the position as given: the searched
// board was its turn, so both its problem and its move numbers differ.
std::string reportAsWritten(const SolveRecord& record, const Board& written) {
    ReportText report;
    appendProblem(report, written);
    if (record.status == solveSolved) {
        appendSolution(report, record.length, record.moves.data(), splitElapsed(record.ms));
    } else {
        report.append(record.status == solveCancelled    ? cancelReport
                      : record.status == solveUnsolvable ? unsolvableReport
                                                         : invalidReport);
    }
    return withUnixLineEnds(report.c_str());
}

}  // namespace

SolveRecord solvePosition(Solver& solver, const Board& board, std::string origin, std::string input,
                          bool showProgress, Goal goal) {
    SolveRecord record;
    record.origin = std::move(origin);
    record.input = std::move(input);
    CapturedOutput output(solver, showProgress);
    const SolveResult result = solver.solve(boardForSearch(board, goal), output);
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
        record.moves = movesForGoal(
            std::vector<int32_t>(result.moves.begin(), result.moves.begin() + record.length), goal);
        replaySolution(board, record.moves, record.directions, goalBoardOf(goal));
    } else if (record.status == solveInvalid) {
        record.error = "not a position of the puzzle";
    }
    if (goal != Goal::blankLast) record.report = reportAsWritten(record, board);
    return record;
}

}  // namespace fifteen::cli
