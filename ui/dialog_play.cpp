// Playing the puzzle by hand (clicks on the tiles beside the blank and the arrow
// keys, where they do not step through a solution), its end at the goal with the
// review of the moves, and Undo and Redo of played moves and of every command
// that replaced the board.

#include "puzzle/moves.h"
#include "ui/dialog_texts.h"
#include "ui/main_dialog.h"

namespace fifteen::ui {

namespace {

Play::Clock::time_point now() {
    return Play::Clock::now();
}

}  // namespace

// In the idle and solved modes: the editing modes have their own ways, and while
// a job runs the board is its.
bool MainDialog::canPlay() const {
    return state_ == DialogState::idle || state_ == DialogState::solved ||
           state_ == DialogState::stepping;
}

bool MainDialog::playCell(int cell) {
    if (!canPlay() || cell < 0 || cell > 15) return false;
    finishStep();
    const Board before = view_.settledBoard();
    const int32_t tile = before[static_cast<size_t>(cell)];
    Board after = before;
    if (tile == 0 || slideTile(after, tile) == SlideDirection::none) return false;
    history_.record({before, view_.backwardCount, tile});
    // A result belongs to the board it was found for: a played move leaves it, as
    // DirectDrag would, and its report goes stale.
    if (state_ != DialogState::idle) {
        const int focus = platform_.focusedControl();
        setMode(UiMode::idle);
        // Trace, disabled now, hands the keys on to the board.
        if (focus == idTrace) platform_.setFocus(focusBoard);
    }
    view_.board = after;
    view_.motion = TileInMotion{};
    playback_.position = 0;
    playback_.direction = SlideDirection::none;
    view_.redraw();
    playedMove(before, tile);
    return true;
}

void MainDialog::playedMove(const Board& before, int32_t tile) {
    play_.move(before, tile, now());
    if (view_.settledBoard() == goalBoard) {
        finishPlay();
    } else {
        showPlay();
    }
}

// The status line counts the play's moves and the seconds line its time while
// the board stands where the play does.
void MainDialog::showPlay() {
    const bool playing = play_.active() && play_.position() == view_.settledBoard();
    if (!playing) {
        platform_.killTimer(timerPlay);
        return;
    }
    status_.set(playStatus(play_.count()));
    status_.setSeconds(playTime(play_.seconds(now())));
    platform_.setTimer(timerPlay, secondsPeriodMs);
}

// At the goal: said on the board and in the status line, and the moves reviewed
// from the play's start in the background, as Check my moves reviews them.
void MainDialog::finishPlay() {
    platform_.killTimer(timerPlay);
    const int32_t count = play_.count();
    const int32_t seconds = play_.seconds(now());
    status_.set(playSolvedStatus(count, seconds));
    status_.setSeconds(playTime(seconds));
    // The board has room for the count; the time is in the lines below it.
    boardNote_ = "Solved in " + std::to_string(count) + (count == 1 ? " move" : " moves");
    platform_.setBoardNote(boardNote_);
    if (allReady()) {
        review_.reviewPlay(play_.start(), play_.tiles());
        marks_.hide();
    }
    play_.end();
}

BoardHistory::Entry MainDialog::currentEntry() const {
    return {view_.settledBoard(), view_.backwardCount, 0};
}

void MainDialog::recordBoard() {
    history_.record(currentEntry());
    clearBoardNote();
}

void MainDialog::undo() {
    if (busy()) return;
    const BoardHistory::Entry current = currentEntry();
    const std::optional<BoardHistory::Entry> entry = history_.undo(current);
    if (!entry) return;
    // Undoing a played move takes it back from the play it belongs to.
    if (entry->playedTile != 0 && play_.active() && play_.position() == current.board) {
        play_.takeBack();
    }
    showHistoryEntry(*entry);
}

void MainDialog::redo() {
    if (busy()) return;
    const BoardHistory::Entry current = currentEntry();
    const std::optional<BoardHistory::Entry> entry = history_.redo(current);
    if (!entry) return;
    showHistoryEntry(*entry);
    if (entry->playedTile != 0) {
        play_.move(current.board, entry->playedTile, now());
        if (entry->board == goalBoard) {
            finishPlay();
            return;
        }
    }
    showPlay();
}

// An earlier (or later) board, as a command that replaced the board shows one:
// backward play and DirectDrag go on, any other mode returns to idle.
void MainDialog::showHistoryEntry(const BoardHistory::Entry& entry) {
    endDrag();
    if (state_ == DialogState::backward) {
        view_.backwardCount = entry.backwardCount;
        status_.set(backwardText(entry.backwardCount));
    } else if (state_ != DialogState::directDrag) {
        setMode(UiMode::idle);
    }
    view_.board = entry.board;
    view_.motion = TileInMotion{};
    playback_.position = 0;
    playback_.direction = SlideDirection::none;
    view_.redraw();
    if (state_ == DialogState::idle) showPlay();
}

}  // namespace fifteen::ui
