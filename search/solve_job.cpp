#include "search/solve_job.h"

#include <algorithm>
#include <array>
#include <chrono>

#include "search/frontier.h"
#include "search/parallel_search.h"
#include "search/report.h"
#include "search/shared_deepening.h"
#include "search/solver_state.h"

namespace fifteen {

void solveJob(SolverState& state, const TableSet& tables, const Board& shownBoard,
              SolveOutput& output) {
    state.problem = shownBoard;
    ReportText report;
    appendProblem(report, state.problem);
    output.setOutputText(report.c_str());

    const auto t0 = std::chrono::steady_clock::now();
    state.nodes = 0;
    state.nodesBelowFinalBound = 0;
    // One thread searches the start node alone, as the per-item design does.
    const bool shared = state.parallelDesign == ParallelDesign::shared && state.maxThreads > 1;
    state.status = shared ? buildSharedFrontier(state, tables, -1, tables.sharedLayerTarget())
                          : buildFrontier(state, tables);
    StatusText status;
    if (state.status == solveInvalid) {
        state.elapsedMs = 0;
        output.setStatusText(invalidStatus);
        output.setSolutionAvailable(false);
        report.append(invalidReport);
        output.setOutputText(report.c_str());
        output.solveFinished(solveResultOf(state));
        return;
    }
    formatSearchStatus(status, state.startWd, state.startPdb, state.searchThreads,
                       state.maxThreads);
    output.setStatusText(status.c_str());
    if (state.status == solveFrontierReady) {
        output.searchStarted();
        if (shared) {
            runSharedDeepening(state, tables);
        } else {
            runParallelSearch(state, tables);
        }
        output.searchEnded(state.status);
    }
    const auto t1 = std::chrono::steady_clock::now();
    state.elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(t1 - t0).count();
    const ElapsedTime elapsed = splitElapsed(state.elapsedMs);

    if (state.status == solveCancelled) {
        output.setStatusText(cancelStatus);
        output.setSolutionAvailable(false);
        report.append(cancelReport);
    } else if (state.status == solveUnsolvable) {
        output.setStatusText(unsolvableStatus);
        output.setSolutionAvailable(false);
        report.append(unsolvableReport);
    } else {
        const int32_t length = state.bestLength.load(std::memory_order_relaxed);
        output.setPlaybackPosition(0);
        output.setSolutionAvailable(length > 0);
        std::array<TextSpan, solutionCapacity> moves{};
        appendSolution(report, length, state.solution.data(), elapsed, moves.data());
        StatusText seconds;
        formatSeconds(seconds, elapsed.seconds);
        output.setSecondsText(seconds.c_str());
        output.setReportText(report.c_str(), moves.data(), length);
        output.solveFinished(solveResultOf(state));
        return;
    }
    output.setOutputText(report.c_str());
    output.solveFinished(solveResultOf(state));
}

void solveJob(const Board& shownBoard, SolveOutput& output) {
    solveJob(solverState, defaultTableSet(), shownBoard, output);
}

SolveResult solveResultOf(const SolverState& state) {
    SolveResult result;
    result.problem = state.problem;
    result.status = state.status;
    if (state.status == solveSolved) {
        result.length = state.bestLength.load(std::memory_order_relaxed);
        std::copy(state.solution.begin(), state.solution.begin() + result.length,
                  result.moves.begin());
    }
    result.startWd = state.startWd;
    result.startPdb = state.startPdb;
    result.searchThreads = state.searchThreads;
    result.maxThreads = state.maxThreads;
    result.nodes = state.nodes;
    result.nodesBelowFinalBound = state.nodesBelowFinalBound;
    result.elapsedMs = state.elapsedMs;
    return result;
}

}  // namespace fifteen
