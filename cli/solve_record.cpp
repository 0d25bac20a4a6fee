#include "cli/solve_record.h"

#include <cstddef>

#include "cli/interrupt.h"
#include "cli/result_format.h"
#include "puzzle/solution_replay.h"
#include "search/solver_state.h"

namespace fifteen::cli {

void CapturedOutput::setStatusText(const char* text) {
    statusText = text;
    // The first status line comes between the frontier and the parallel search.
    if (!statusShown_) {
        statusShown_ = true;
        if (solverState.status == solveFrontierReady) searchStarting();
    } else {
        searchEnded();
    }
}

void CapturedOutput::setSecondsText(const char*) {
    searchEnded();
}
void CapturedOutput::setSolutionAvailable(bool) {
    searchEnded();
}
void CapturedOutput::setPlaybackPosition(int32_t) {
    searchEnded();
}

void CapturedOutput::solveFinished() {
    searchEnded();
    finished = true;
}

SolveRecord solvePosition(const Board& board, std::string origin, std::string input) {
    SolveRecord record;
    record.origin = std::move(origin);
    record.input = std::move(input);
    CapturedOutput output;
    solveJob(board, output);
    // The search's own time (frontier and search), as in the report.
    record.ms = solverState.elapsedMs;
    record.report = withUnixLineEnds(output.outputText);
    record.wd = solverState.startWd;
    record.pdb = solverState.startPdb;
    record.threads = solverState.itemCount;
    record.maxThreads = solverState.maxThreads;
    record.nodes = solverState.nodes;
    record.nodesBelowFinalBound = solverState.nodesBelowFinalBound;
    const int32_t length = solverState.bestLength.load(std::memory_order_relaxed);
    switch (solverState.status) {
        case solveSolved:
            if (length >= 0 && length <= solutionCapacity) {
                record.status = "solved";
                record.length = length;
                record.moves.assign(solverState.solution.begin(),
                                    solverState.solution.begin() + length);
                replaySolution(board, record.moves, record.directions);
                break;
            }
            // A Ctrl-C that landed after the search had ended but before the report
            // was read: the user asked to cancel, so say so.
            record.status = "cancelled";
            record.report = record.report.substr(0, record.report.find("Optimal")) + "Cancel.";
            break;
        case solveUnsolvable:
            record.status = "unsolvable";
            break;
        case solveCancelled:
            record.status = "cancelled";
            break;
        default:
            record.status = "invalid";
            record.error = "not a position of the puzzle";
            break;
    }
    return record;
}

}  // namespace fifteen::cli
