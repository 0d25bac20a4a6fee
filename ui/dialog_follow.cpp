// What follows the shown board: the report's stale mark and marked move, the
// review's plot, the optimal moves' marks, and the analyses behind the last two.

#include "puzzle/moves.h"
#include "ui/dialog_texts.h"
#include "ui/main_dialog.h"

namespace fifteen::ui {

void MainDialog::followBoard() {
    // A finished play's note stays while its goal does.
    if (!boardNote_.empty() && view_.settledBoard() != goalBoard) clearBoardNote();
    updateStaleMark();
    updateMoveMark();
}

void MainDialog::clearBoardNote() {
    if (boardNote_.empty()) return;
    boardNote_.clear();
    platform_.setBoardNote("");
}

bool MainDialog::isStepOfReport(const Board& board) const {
    Board step = lastSolve().problem;
    if (board == step) return true;
    if (lastSolve().status != solveSolved) return false;
    for (int32_t i = 0; i < lastSolve().length; ++i) {
        slideTile(step, lastSolve().moves[static_cast<size_t>(i)]);
        if (board == step) return true;
    }
    return false;
}

// The report is stale when the shown board is neither its problem nor a step of
// its solution; the plot and the marks follow.
void MainDialog::updateStaleMark() {
    output_.setStale(output_.reportShown() && !isStepOfReport(view_.settledBoard()));
    syncPlotAndMarks();
}

// The move just made in the report's solution list, while stepping or playing
// back; no mark at the problem or over a stale report.
void MainDialog::updateMoveMark() {
    const bool onSolution = output_.reportShown() && !output_.stale() &&
                            lastSolve().status == solveSolved &&
                            (mode() == UiMode::solved || mode() == UiMode::tracing);
    output_.markMove(onSolution ? playback_.position - 1 : -1);
}

void MainDialog::syncPlotAndMarks() {
    // The plot belongs to the checked moves while they are the shown solution.
    const bool shownAsSolution =
        (mode() == UiMode::solved || mode() == UiMode::tracing) && !output_.stale();
    review_.sync(view_.settledBoard(), shownAsSolution);
    marks_.sync(view_.board, marksCanShow(), state_ == DialogState::solving);
    showMarksWork();
}

// The status line says the marks are being worked out until they appear.
void MainDialog::showMarksWork() {
    if (marks_.working()) {
        if (marksAsked_) return;
        marksAsked_ = Play::Clock::now();
        status_.showNote(workingOnMarksText(0));
        platform_.setTimer(timerMarks, secondsPeriodMs);
        return;
    }
    if (!marksAsked_) return;
    marksAsked_.reset();
    platform_.killTimer(timerMarks);
    if (status_.noteShown() && status_.text().rfind(workingOnMarksText(0), 0) == 0) {
        status_.endNote();
    }
}

void MainDialog::marksWorkTick() {
    if (!marksAsked_ || !marks_.working()) return;
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(Play::Clock::now() - *marksAsked_).count();
    // Kept in view, over whatever was written since.
    status_.showNote(workingOnMarksText(static_cast<int32_t>(seconds)));
}

// Marks are asked for only where a board stands still and the solver's threads
// are free: not while a solve or playback runs, nor while a tile slides or is
// lifted, nor while the user's moves are being checked.
bool MainDialog::marksCanShow() const {
    return marks_.on() && state_ != DialogState::closed && allReady() && !busy() &&
           view_.motion.tile == 0 && worker_.pending() != AnalysisWorker::Kind::review;
}

void MainDialog::setMarksOn(bool on) {
    if (on == marks_.on()) return;
    marks_.setOn(on);
    settings_->setBool(settingKeys::showOptimalMoves, on);
    if (on) {
        syncPlotAndMarks();
    } else {
        marks_.hide();
        showMarksWork();
    }
}

void MainDialog::checkMoves() {
    if (busy() || !allReady()) return;
    // The review's threads are the marks': theirs go until it has answered.
    if (review_.ask(view_.settledBoard())) marks_.hide();
}

void MainDialog::onAnalysis(const AnalysisWorker::Result& result) {
    if (state_ == DialogState::closed) return;
    if (result.kind == AnalysisWorker::Kind::analysis) {
        marks_.show(result.analysis, view_.board, marksCanShow());
        showMarksWork();
        return;
    }
    const MoveReview& review = result.review;
    if (const std::optional<SolveResult> solution =
            review_.accept(review, busy(), view_.settledBoard())) {
        // The checked moves become the shown solution, played from their start.
        finishStep();
        endDrag();
        session_.setLastSolve(*solution);
        view_.motion = TileInMotion{};
        playback_.position = review_.shownPosition(*solution);
        playback_.direction = SlideDirection::none;
        session_.setSolutionAvailable(true);
        platform_.setCheck(idBackward, false);
        platform_.setCheck(idDirectDrag, false);
        setMode(UiMode::solved);
        review_.show(review);
        updateStaleMark();
    }
    syncPlotAndMarks();
}

}  // namespace fifteen::ui
