#pragma once

// Check my moves: the user's move sequence from the shown position, reviewed in
// the background by the analysis worker, then shown as a solution beside its plot.

#include <optional>
#include <string>
#include <vector>

#include "puzzle/board.h"
#include "search/move_analysis.h"
#include "search/solve_output.h"
#include "ui/analysis_worker.h"
#include "ui/output_model.h"
#include "ui/platform.h"
#include "ui/review_plot.h"

namespace fifteen::ui {

class ReviewController {
  public:
    ReviewController(Platform& platform, OutputBox& output, StatusLine& status,
                     AnalysisWorker& worker)
        : platform_(platform), output_(output), status_(status), worker_(worker) {}

    // Asks for the moves from start (the clipboard's offered when it holds some)
    // and starts their review; false when none started (called off, or refused
    // with the reason in the status line and the output box).
    bool ask(const Board& start);
    // Reviews a play of tiles from start, which has ended on the board shown.
    void reviewPlay(const Board& start, const std::vector<int32_t>& tiles);
    // A review's answer: the moves as a solution to show, when they are of the
    // settled board and nothing runs; otherwise what there is to say is said.
    std::optional<SolveResult> accept(const MoveReview& review, bool busy, const Board& settled);
    // Once the dialog shows accept's solution: the review's text and its plot.
    void show(const MoveReview& review);
    // Where the board stands in accept's solution: at its start for moves being
    // checked, at its end for a play.
    int32_t shownPosition(const SolveResult& solution) const {
        return pending_.play ? solution.length : 0;
    }
    // After anything that may have changed the board or the mode: a review of a
    // position the board has left is called off, and the plot stays only while
    // its moves are the shown solution (solutionShown).
    void sync(const Board& settled, bool solutionShown);

    bool plotShown() const { return plotShown_; }
    const ReviewPlot& plot() const { return plot_; }

  private:
    // The review asked for last: from where, the board it is shown on, and
    // whether it is of a play (ended on the board) or of moves to check (from it).
    struct Pending {
        Board start{};
        Board shownAt{};
        bool play = false;
    };

    void showText(const MoveReview& review);

    Platform& platform_;
    OutputBox& output_;
    StatusLine& status_;
    AnalysisWorker& worker_;
    Pending pending_;
    ReviewPlot plot_;
    bool plotShown_ = false;
};

}  // namespace fifteen::ui
