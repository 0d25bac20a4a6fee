#pragma once

// Show optimal moves: the marks over the movable tiles of an analysed board, the
// line the output box shows with them, and the switch that asks for them.

#include <optional>
#include <string>

#include "puzzle/board.h"
#include "search/move_analysis.h"
#include "ui/analysis_worker.h"
#include "ui/output_model.h"
#include "ui/platform.h"

namespace fifteen::ui {

// Each legal move's tile marked optimal or costly in its cell; none unless the
// analysis is solved.
BoardMarks marksOf(const MoveAnalysis& analysis);

// "Optimal moves: 12 (left), 7 (up); 54 moves to go"; the goal itself gives
// "Optimal moves: none; 0 moves to go".
std::string marksLine(const MoveAnalysis& analysis);

// The marks of the shown board: asked of the analysis worker whenever the board
// settles while they may show, and taken away while they may not. The dialog says
// when they may (canShow: the switch on, the tables ready, nothing running).
class MarksController {
  public:
    MarksController(Platform& platform, OutputBox& output, AnalysisWorker& worker)
        : platform_(platform), output_(output), worker_(worker) {}

    bool on() const { return on_; }
    // The switch alone; the dialog syncs afterwards.
    void setOn(bool on) { on_ = on; }
    // After anything that may have changed the board or what is running: asks for
    // the board's marks, or takes them away. solving: the output box is the
    // solve's, so the marks' line is gone with it.
    void sync(const Board& board, bool canShow, bool solving);
    // Takes the marks and their line away, cancelling an analysis under way.
    void hide();
    // An analysis' answer; shown only if it is of the board still shown.
    void show(const MoveAnalysis& analysis, const Board& board, bool canShow);

    const BoardMarks& shown() const { return shown_; }
    // Asked for and not yet answered.
    bool working() const { return working_; }

  private:
    void takeAway();

    Platform& platform_;
    OutputBox& output_;
    AnalysisWorker& worker_;
    bool on_ = false;
    std::optional<Board> board_;  // the board analysed or being analysed
    BoardMarks shown_;
    std::string line_;  // the output box's line of the marks, "" when none
    bool working_ = false;
};

}  // namespace fifteen::ui
