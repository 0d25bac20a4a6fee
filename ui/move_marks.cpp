#include "ui/move_marks.h"

#include <cstddef>

#include "ui/main_dialog.h"

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

// Marks are asked for only where a board stands still and the solver's threads
// are free: not while a solve or playback runs, nor while a tile slides or is
// lifted, nor while the user's moves are being checked.
bool MainDialog::marksCanShow() const {
    return marksOn_ && !closed_ && allReady() && !busy() && view_.motion.tile == 0 &&
           worker_.pending() != AnalysisWorker::Kind::review;
}

void MainDialog::setMarksOn(bool on) {
    if (on == marksOn_) return;
    marksOn_ = on;
    settings_->setBool(settingKeys::showOptimalMoves, on);
    if (!marksOn_) {
        if (worker_.pending() == AnalysisWorker::Kind::analysis) worker_.cancel();
        hideMarks();
        return;
    }
    syncMarks();
}

void MainDialog::hideMarks() {
    marksBoard_.reset();
    if (marksShown_.any()) {
        marksShown_ = BoardMarks{};
        platform_.setBoardMarks(marksShown_);
    }
    if (marksLine_.empty()) return;
    // Only its own line: a paste's error written since stays.
    const std::string text = platform_.controlText(idOutput);
    const std::string own = marksLine_ + "\r\n";
    if (text.size() >= own.size() && text.compare(text.size() - own.size(), own.size(), own) == 0)
        showOutputNote("");
    marksLine_.clear();
}

void MainDialog::syncMarks() {
    if (!marksOn_) return;
    if (!marksCanShow()) {
        if (worker_.pending() == AnalysisWorker::Kind::analysis) worker_.cancel();
        // During a solve the output box is the solve's; its line goes with the report.
        if (mode_ == UiMode::solving) marksLine_.clear();
        hideMarks();
        return;
    }
    if (marksBoard_ == view_.board) return;  // asked for already, or shown
    hideMarks();
    marksBoard_ = view_.board;
    worker_.analyse(view_.board);
}

void MainDialog::showAnalysis(const MoveAnalysis& analysis) {
    // The worker dropped older answers; this also keeps one for a board that has
    // changed since from ever being marked.
    if (!marksCanShow() || marksBoard_ != analysis.board || view_.board != analysis.board) return;
    if (analysis.status != solveSolved && analysis.status != solveUnsolvable) {
        marksBoard_.reset();  // cancelled: asked again at the next change
        return;
    }
    marksShown_ = marksOf(analysis);
    platform_.setBoardMarks(marksShown_);
    marksLine_ = marksLine(analysis);
    showOutputNote(marksLine_);
}

void MainDialog::onWorkerMessage() {
    std::optional<AnalysisWorker::Result> result = worker_.take();
    if (!result) return;
    if (result->kind == AnalysisWorker::Kind::analysis) {
        showAnalysis(result->analysis);
    } else {
        showReview(result->review);
        syncMarks();
    }
}

}  // namespace fifteen::ui
