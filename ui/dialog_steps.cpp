// Stepping through a shown solution by hand, and the playback's speed.

#include "puzzle/moves.h"
#include "ui/dialog_texts.h"
#include "ui/main_dialog.h"

namespace fifteen::ui {

void MainDialog::finishStep() {
    if (state_ != DialogState::stepping) return;
    state_ = DialogState::solved;
    platform_.killTimer(timerStep);
    playback_.finishStep();
}

bool MainDialog::canStep() const {
    return (state_ == DialogState::solved || state_ == DialogState::stepping) &&
           solutionAvailable() && solutionLength() > 0;
}

bool MainDialog::arrowKey(Key key, bool autoRepeat) {
    const int dColumn = key == Key::left ? -1 : key == Key::right ? 1 : 0;
    const int dRow = key == Key::up ? -1 : key == Key::down ? 1 : 0;
    if (state_ == DialogState::backward) {
        const BoardHistory::Entry before = currentEntry();
        view_.slideIntoBlank(dColumn, dRow);
        if (view_.board != before.board) history_.record(before);
        return true;
    }
    if ((key == Key::left || key == Key::right) && canStep()) {
        finishStep();
        step(key == Key::right, !autoRepeat);
        return true;
    }
    // Elsewhere the arrows play: the tile beside the blank slides their way.
    if (!canPlay()) return false;
    playCell(cellSlidingInto(view_.settledBoard(), dColumn, dRow));
    return true;
}

void MainDialog::step(bool forward, bool animate) {
    const int32_t position = playback_.position;
    if (!animate) {
        const int32_t target = forward ? position + 1 : position - 1;
        if (target >= 0 && target <= solutionLength()) jumpTo(target);
        return;
    }
    if (playback_.startStep(lastSolve().moves.data(), solutionLength(), forward)) {
        state_ = DialogState::stepping;
        platform_.setTimer(timerStep, playbackSpeeds[static_cast<size_t>(speed_)].periodMs);
    }
}

void MainDialog::stepTick() {
    if (state_ == DialogState::stepping && playback_.stepTick()) {
        state_ = DialogState::solved;
        platform_.killTimer(timerStep);
        syncPlotAndMarks();
    }
    updateMoveMark();
}

void MainDialog::jumpTo(int32_t position) {
    // Replayed from the problem, so any mix of steps ends on the exact position.
    Board board = lastSolve().problem;
    for (int32_t i = 0; i < position; ++i) {
        slideTile(board, lastSolve().moves[static_cast<size_t>(i)]);
    }
    view_.board = board;
    view_.motion = TileInMotion{};
    playback_.position = position;
    playback_.direction = SlideDirection::none;
    view_.redraw();
    status_.set(movesText(position, solutionLength()));
}

void MainDialog::changeSpeed(int delta) {
    const int next = speed_ + delta;
    if (next < 0 || next >= static_cast<int>(playbackSpeeds.size())) return;
    speed_ = next;
    settings_->setInt(settingKeys::playbackSpeed, speed_);
    const int period = playbackSpeeds[static_cast<size_t>(speed_)].periodMs;
    if (state_ == DialogState::tracing) platform_.setTimer(timerMain, period);
    if (speedNote_.empty()) statusBeforeNote_ = status_.text();
    speedNote_ = std::string(speedPrefix) + playbackSpeeds[static_cast<size_t>(speed_)].name;
    status_.set(speedNote_);
    platform_.setTimer(timerSpeedNote, speedNoteMs);
}

void MainDialog::endSpeedNote() {
    platform_.killTimer(timerSpeedNote);
    // Anything written meanwhile (a landed step, a solve) stays.
    if (!speedNote_.empty() && status_.text() == speedNote_) {
        status_.set(statusBeforeNote_);
    }
    speedNote_.clear();
}

}  // namespace fifteen::ui
