#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/progress.h"
#include "puzzle/board.h"
#include "puzzle/goal.h"
#include "search/move_analysis.h"
#include "search/solver.h"

namespace fifteen::cli {

// One answered (or rejected) position, as the front end prints it.
struct SolveRecord {
    std::string origin;  // where the position came from, for messages
    std::string input;   // the text as given
    // solveSolved, solveUnsolvable, solveCancelled, or solveInvalid for input that
    // is not a position.
    SolveStatus status = solveInvalid;
    std::string error;   // why the input is invalid
    std::string report;  // the output box, "\n" line ends
    int32_t length = -1;
    std::vector<int32_t> moves;  // tiles, first move first
    std::string directions;      // the same moves as U, D, L, R: where the tile slides
    int32_t wd = 0;
    int32_t pdb = 0;
    int32_t threads = 0;  // work items searched
    int32_t maxThreads = 0;
    uint64_t nodes = 0;
    uint64_t nodesBelowFinalBound = 0;
    int64_t ms = 0;
    // --analyse: every legal move's verdict (empty unless solved).
    bool analysed = false;
    std::vector<MoveVerdict> analysis;
    std::string analysisText;  // the line after the report
    // --review: the moves played and what they did.
    bool reviewed = false;
    MoveReview review;
    std::string reviewError;   // the illegal move, when one stopped the review
    std::optional<Goal> goal;  // as --goal named it, for the JSON report
    std::string tables;        // the set that answered, as --tables names it; empty: none
};

// What the solve shows, kept for the record; with showProgress, the progress line
// (of solver) runs while the parallel search does.
class CapturedOutput : public SolveOutput {
  public:
    explicit CapturedOutput(const Solver& solver, bool showProgress = false)
        : solver_(solver), showProgress_(showProgress) {}
    void setOutputText(const char* text) override { outputText = text; }
    void setStatusText(const char* text) override { statusText = text; }
    void setSecondsText(const char*) override {}
    void setSolutionAvailable(bool) override {}
    void setPlaybackPosition(int32_t) override {}
    void searchStarted() override;
    void searchEnded(SolveStatus status) override;
    void solveFinished(const SolveResult&) override { finished = true; }

    std::string outputText;
    std::string statusText;
    bool finished = false;

  private:
    const Solver& solver_;
    const bool showProgress_;
    std::optional<ProgressTicker> progress_;
};

// Solves board, written for goal, with solver (tables ready, its options set) and
// fills the record from the solve's output and result: the report, moves and
// directions as the position is written. showProgress: the progress line on
// standard error during the search.
SolveRecord solvePosition(Solver& solver, const Board& board, std::string origin, std::string input,
                          bool showProgress = false, Goal goal = Goal::blankLast);

// The same through the analyser (its solver's options set): the record of its
// solve, with the verdict of every legal move in the tiles and directions of
// board as written for goal.
SolveRecord analysePosition(MoveAnalyser& analyser, const Board& board, std::string origin,
                            std::string input, bool showProgress = false,
                            Goal goal = Goal::blankLast);

// The record of the solve of board, with the review of moves from it; moves and
// the review's tiles are numbered as board is written for goal.
SolveRecord reviewPosition(MoveAnalyser& analyser, const Board& board,
                           const std::vector<WrittenMove>& moves, std::string origin,
                           std::string input, bool showProgress = false,
                           Goal goal = Goal::blankLast);

}  // namespace fifteen::cli
