#pragma once

#include <array>
#include <cstdint>

#include "puzzle/board.h"
#include "search/report.h"
#include "search/solver_state.h"

namespace fifteen {

// What one solve gives, as a value: the front ends keep it, not the record.
struct SolveResult {
    Board problem{};
    SolveStatus status = solveInvalid;
    int32_t length = 0;  // moves of the solution; 0 unless solved
    std::array<int32_t, solutionCapacity>
        moves{};  // the first length entries: tiles, first move first
    int32_t startWd = 0;
    int32_t startPdb = 0;
    int32_t searchThreads = 0;  // threads that searched
    int32_t maxThreads = 0;     // the limit of this solve
    // Search nodes, and those of the iterations below the final bound: with a
    // fixed thread count the latter does not depend on timing.
    uint64_t nodes = 0;
    uint64_t nodesBelowFinalBound = 0;
    int64_t elapsedMs = 0;  // the frontier and the search, as in the report
};

// Where a solve writes what it shows. The desktop program, the command-line
// solver and the tests each implement it. Calls come from the thread that runs
// the solve.
class SolveOutput {
  public:
    virtual ~SolveOutput() = default;
    // The whole output box: the problem and the report, "\r\n" line ends.
    virtual void setOutputText(const char* text) = 0;
    // The last output text of a solved problem, with where each of its count moves
    // is written in it; those who do not mark moves take the text alone.
    virtual void setReportText(const char* text, const TextSpan* moves, int32_t count) {
        static_cast<void>(moves);
        static_cast<void>(count);
        setOutputText(text);
    }
    virtual void setStatusText(const char* text) = 0;
    virtual void setSecondsText(const char* text) = 0;
    virtual void setSolutionAvailable(bool available) = 0;
    virtual void setPlaybackPosition(int32_t position) = 0;
    // Around the parallel search, when the frontier stage has left one to run:
    // searchStarted after the status line with the start values, searchEnded with
    // the search's status (solveSolved or solveCancelled) before the report. A
    // solve answered by the frontier stage (unsolvable, invalid, goal within the
    // first levels) makes neither call. Between the two, the solver's progress
    // shows the running search.
    virtual void searchStarted() {}
    virtual void searchEnded(SolveStatus status) { static_cast<void>(status); }
    // Last call of the solve (the completion message): the report is complete and
    // result is what the solve returns.
    virtual void solveFinished(const SolveResult& result) = 0;
};

// An output that shows nothing: for solves whose texts nobody reads (an analysis
// beside the shown solve, the benchmarks).
class QuietOutput final : public SolveOutput {
  public:
    void setOutputText(const char*) override {}
    void setStatusText(const char*) override {}
    void setSecondsText(const char*) override {}
    void setSolutionAvailable(bool) override {}
    void setPlaybackPosition(int32_t) override {}
    void solveFinished(const SolveResult&) override {}
};

}  // namespace fifteen
