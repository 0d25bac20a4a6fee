#include "ui/move_marks.h"

#include <cstddef>

namespace fifteen::ui {

namespace {

// The line's note while there is nothing to name; the output box keeps its
// report above it.
constexpr const char* marksUnsolvableLine = "Optimal moves: none, the position is unsolvable";

}  // namespace

BoardMarks marksOf(const MoveAnalysis& analysis) {
    BoardMarks marks;
    // On the goal every move costs two: nothing worth marking.
    if (analysis.status != solveSolved || analysis.length == 0) return marks;
    for (int32_t k = 0; k < analysis.moveCount; ++k) {
        const MoveVerdict& v = analysis.moves[static_cast<std::size_t>(k)];
        for (std::size_t cell = 0; cell < analysis.board.size(); ++cell) {
            if (analysis.board[cell] == v.tile) {
                marks.cells[cell] = v.optimal ? TileMark::optimal : TileMark::costly;
            }
        }
    }
    return marks;
}

std::string marksLine(const MoveAnalysis& analysis) {
    if (analysis.status == solveUnsolvable) return marksUnsolvableLine;
    return "Optimal moves: " + movesNamed(analysis, true) + "; " + std::to_string(analysis.length) +
           (analysis.length == 1 ? " move" : " moves") + " to go";
}

void MarksController::hide() {
    if (worker_.pending() == AnalysisWorker::Kind::analysis) worker_.cancel();
    takeAway();
}

void MarksController::takeAway() {
    board_.reset();
    working_ = false;
    if (shown_.any()) {
        shown_ = BoardMarks{};
        platform_.setBoardMarks(shown_);
    }
    if (line_.empty()) return;
    // Only its own line: a paste's error written since stays.
    if (output_.note() == line_) output_.setNote("");
    line_.clear();
}

void MarksController::sync(const Board& board, bool canShow, bool solving) {
    if (!on_) return;
    if (!canShow) {
        if (solving) line_.clear();
        hide();
        return;
    }
    if (board_ == board) return;  // asked for already, or shown
    takeAway();
    board_ = board;
    working_ = true;
    worker_.analyse(board);
}

void MarksController::show(const MoveAnalysis& analysis, const Board& board, bool canShow) {
    // The worker dropped older answers; this also keeps one for a board that has
    // changed since from ever being marked.
    if (!canShow || board_ != analysis.board || board != analysis.board) return;
    working_ = false;
    if (analysis.status != solveSolved && analysis.status != solveUnsolvable) {
        board_.reset();  // cancelled: asked again at the next change
        return;
    }
    shown_ = marksOf(analysis);
    platform_.setBoardMarks(shown_);
    line_ = marksLine(analysis);
    output_.setNote(line_);
}

}  // namespace fifteen::ui
