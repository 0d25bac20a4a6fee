#include "ui/main_dialog.h"

#include <ctime>
#include <utility>

#include "puzzle/shuffle.h"
#include "ui/dialog_texts.h"

namespace fifteen::ui {

MainDialog::MainDialog(Platform& platform)
    : MainDialog(platform, std::make_unique<ProgramServices>()) {}

MainDialog::MainDialog(Platform& platform, std::unique_ptr<SolverServices> owned)
    : MainDialog(platform, *owned) {
    ownServices_ = std::move(owned);
}

MainDialog::MainDialog(Platform& platform, SolverServices& services)
    : platform_(platform),
      services_(services),
      output_(platform),
      status_(platform),
      view_(platform, status_),
      playback_(view_, status_),
      session_(platform, services, output_, status_),
      worker_(platform, services, [this](const AnalysisWorker::Result& r) { onAnalysis(r); }),
      marks_(platform, output_, worker_),
      review_(platform, output_, status_, worker_) {
    if (StrongerTablesSource* source = services_.strongerTables()) {
        stronger_ = std::make_unique<StrongerTablesControl>(
            platform, *source,
            StrongerTablesControl::Handlers{
                [this](const std::string& line) { onStrongerTablesLine(line); },
                [this] { onStrongerTablesDone(); },
                [this](const TablesProgress& progress) { onStrongerTablesProgress(progress); }});
    }
}

MainDialog::~MainDialog() {
    if (state_ != DialogState::closed) {
        platform_.beginClose();
        stopThreads();
    }
}

void MainDialog::onInit() {
    restoreSettings();
    platform_.setCaption(dialogCaption());
    view_.createSurfaces();
    platform_.setMonospaceFont(idOutput);
    const BoardPlacement placement = placeBoard(platform_);
    view_.place(placement.board, placement.clipOffset);
    seedRandom(static_cast<uint32_t>(std::time(nullptr)));

    view_.putGoal();
    view_.redraw();
    setMode(UiMode::idle);
    status_.set(startupStatus);
    showPreparationProgress();

    platform_.enableControl(idSolve, false);
    startTables();
}

void MainDialog::setMode(UiMode mode) {
    const bool wasBusy = busy();
    state_ = stateOf(mode);
    const bool nowBusy = busy();
    // Taken before the buttons are disabled, which moves the focus on.
    if (nowBusy && !wasBusy) {
        focusBeforeBusy_ = platform_.focusedControl();
    }
    for (int id = idShuffle; id <= idReset; ++id) {
        platform_.enableControl(id, !nowBusy);
    }
    platform_.enableControl(idSolve, !nowBusy && allReady());
    platform_.enableControl(idCancel, nowBusy);
    // While a job runs, Space on the focused Cancel stops it; the focus returns
    // afterwards (to the board when its control is disabled now).
    if (nowBusy && !wasBusy) {
        platform_.setFocus(idCancel);
    }
    if (nowBusy) {
        platform_.enableControl(idTrace, false);
        return;
    }
    if (mode != UiMode::solved) {
        session_.setSolutionAvailable(false);
        status_.set("");
        status_.setSeconds(zeroSecondsText);
    }
    platform_.enableControl(idTrace, solutionAvailable() && solutionLength() > 0);
    if (wasBusy) {
        const int back = focusBeforeBusy_;
        platform_.setFocus(back);
        if (platform_.focusedControl() != back) {
            platform_.setFocus(focusBoard);
        }
    }
}

void MainDialog::onCommand(int controlId) {
    // While solving or tracing only Cancel is enabled; a command from any other
    // control cannot come from the user and would, for Solve, join a running job.
    if ((busy() && controlId != idCancel) || !beginUserAction()) {
        return;
    }
    switch (controlId) {
        case idShuffle:
            shuffle();
            break;
        case idBackward:
            backward();
            break;
        case idDirectDrag:
            directDrag();
            break;
        case idReset:
            reset();
            break;
        case idSolve:
            solve();
            break;
        case idCancel:
            cancel();
            break;
        case idTrace:
            trace();
            break;
        default:
            break;
    }
    followBoard();
}

void MainDialog::shuffle() {
    recordBoard();
    setMode(UiMode::idle);
    shuffleBoard(view_.board);
    view_.redraw();
    platform_.setCheck(idBackward, false);
    platform_.setCheck(idDirectDrag, false);
    status_.set(shuffleStatus);
}

void MainDialog::backward() {
    recordBoard();
    setMode(UiMode::backward);
    view_.putGoal();
    view_.redraw();
    view_.backwardCount = 0;
    platform_.setCheck(idDirectDrag, false);
    status_.set(backwardText(0));
}

void MainDialog::directDrag() {
    setMode(UiMode::directDrag);
    platform_.setCheck(idBackward, false);
    status_.set(directDragStatus);
}

void MainDialog::reset() {
    if (!busy()) recordBoard();
    switch (mode()) {
        case UiMode::backward:
            view_.putGoal();
            view_.redraw();
            view_.backwardCount = 0;
            status_.set(backwardText(0));
            break;
        case UiMode::idle:
            view_.putGoal();
            view_.redraw();
            status_.set(directDragStatus);
            break;
        case UiMode::directDrag:
            view_.putGoal();
            view_.redraw();
            break;
        case UiMode::solved:
            if (playback_.position > 0) {
                playback_.restore(lastSolve().problem);
                status_.set(movesText(0, solutionLength()));
            } else {
                view_.putGoal();
                view_.redraw();
                setMode(UiMode::idle);
            }
            break;
        case UiMode::solving:
        case UiMode::tracing:
            break;
    }
}

void MainDialog::solve() {
    if (!allReady()) {
        return;
    }
    setMode(UiMode::solving);
    output_.setReportShown(false);
    updateStaleMark();
    platform_.setCheck(idBackward, false);
    platform_.setCheck(idDirectDrag, false);
    // The solver's threads are the solve's: an analysis or review waiting gives way.
    worker_.cancel();
    session_.start(view_.board);
}

void MainDialog::cancel() {
    if (state_ == DialogState::solving) {
        session_.cancel();
    } else if (state_ == DialogState::pausing) {
        // Every move has been shown: the playback stops on the goal, as it stops
        // wherever it is when cancelled earlier.
        platform_.killTimer(timerPause);
        setMode(UiMode::solved);
    } else {
        playback_.stopRequest = true;
    }
}

void MainDialog::trace() {
    // From the last step there is nothing left to play: start again from the problem.
    if (playback_.position >= solutionLength()) {
        playback_.restore(lastSolve().problem);
    }
    setMode(UiMode::tracing);
    platform_.setTimer(timerMain, playbackSpeeds[static_cast<size_t>(speed_)].periodMs);
}

void MainDialog::onTimer(int timerId) {
    if (state_ == DialogState::closed) {
        return;
    }
    switch (timerId) {
        case timerPause:
            endPause();
            updateMoveMark();
            return;
        case timerStep:
            stepTick();
            return;
        case timerSpeedNote:
            endSpeedNote();
            return;
        case timerProgress:
            session_.showProgress();
            return;
        case timerPlay:
            showPlay();
            return;
        case timerMarks:
            marksWorkTick();
            return;
        case timerMain:
            break;
        default:
            return;
    }
    if (state_ == DialogState::tracing) {
        traceTick();
        updateMoveMark();
    } else if (state_ == DialogState::solving) {
        session_.countSecond();
    }
}

void MainDialog::traceTick() {
    switch (playback_.tick(lastSolve().moves.data(), solutionLength())) {
        case Playback::Tick::moved:
            break;
        case Playback::Tick::stopped:
            platform_.killTimer(timerMain);
            setMode(UiMode::solved);
            syncPlotAndMarks();
            break;
        case Playback::Tick::finished:
            // The pause before the problem comes back runs on a timer of its own,
            // so the dialog keeps answering meanwhile.
            platform_.killTimer(timerMain);
            playback_.stopRequest = false;
            state_ = DialogState::pausing;
            platform_.setTimer(timerPause, pauseMs);
            break;
    }
}

void MainDialog::endPause() {
    platform_.killTimer(timerPause);
    if (state_ != DialogState::pausing) {
        return;
    }
    playback_.restore(lastSolve().problem);
    setMode(UiMode::solved);
    status_.set(movesText(0, solutionLength()));
    syncPlotAndMarks();
}

void MainDialog::onMessage(int message) {
    if (state_ == DialogState::closed) {
        return;
    }
    switch (message) {
        case msgPatternDbAReady:
            onTableReady(PreparedTable::patternDbA);
            return;
        case msgPatternDbBReady:
            onTableReady(PreparedTable::patternDbB);
            return;
        case msgWdTableReady:
            onTableReady(PreparedTable::wdTable);
            return;
        case msgSolveFinished:
            finishSolve();
            return;
        default:
            return;
    }
}

void MainDialog::finishSolve() {
    // The completion message follows the job's last post: its result is here.
    if (const std::optional<int32_t> position = session_.finish()) {
        playback_.position = *position;
    }
    setMode(UiMode::solved);
    output_.setReportShown(true);
    updateStaleMark();
    updateMoveMark();
}

void MainDialog::onMouse(MouseEvent event, Point client) {
    if (state_ == DialogState::closed) {
        return;
    }
    const Rect board = view_.rect();
    const Point onBoard{client.x - board.left, client.y - board.top};
    if (client.x < board.left || client.x > board.right || client.y < board.top ||
        client.y > board.bottom) {
        // A lifted tile follows the pointer off the board; released there, the
        // drag is called off.
        if (state_ == DialogState::directDrag && view_.motion.tile != 0) {
            if (event == MouseEvent::leftUp) {
                view_.cancelDrag();
            } else {
                view_.onMouse(mode(), event, onBoard);
            }
        }
        return;
    }
    if (event == MouseEvent::leftDown) {
        // In any mode, so the keys reach the board; while a job runs they do from
        // Cancel, which keeps the focus.
        platform_.setFocus(busy() ? idCancel : focusBoard);
    }
    if (canPlay()) {
        if (event == MouseEvent::leftDown && playCell(boardCellAt(onBoard))) followBoard();
        return;
    }
    if (state_ != DialogState::backward && state_ != DialogState::directDrag) {
        return;
    }
    const BoardHistory::Entry before = currentEntry();
    if (event == MouseEvent::leftDown && state_ == DialogState::directDrag) {
        dragFrom_ = before.board;
    }
    view_.onMouse(mode(), event, onBoard);
    // A backward move, or a swap once the lifted tile lands, can be undone.
    if (state_ == DialogState::backward && view_.board != before.board) {
        history_.record(before);
    }
    if (event == MouseEvent::leftUp && dragFrom_ && view_.motion.tile == 0) {
        if (view_.board != *dragFrom_) history_.record({*dragFrom_, view_.backwardCount, 0});
        dragFrom_.reset();
    }
    if (event == MouseEvent::leftUp) updateStaleMark();
    // A lifted tile takes the marks away until it lands.
    if (event == MouseEvent::leftDown) syncPlotAndMarks();
}

void MainDialog::onPaint() {
    if (state_ != DialogState::closed) {
        platform_.invalidateBoard(view_.rect(), view_.surface());
    }
}

void MainDialog::onClose() {
    if (state_ == DialogState::closed) {
        return;
    }
    state_ = DialogState::closed;
    for (const int timer :
         {timerMain, timerPause, timerStep, timerSpeedNote, timerProgress, timerPlay, timerMarks}) {
        platform_.killTimer(timer);
    }
    platform_.releaseCursor();
    // From here on the workers' sends return at once and their posts are dropped,
    // so joining them cannot wait on this thread.
    platform_.beginClose();
    stopThreads();
    services_.releaseTables();
    view_.releaseSurfaces();
    platform_.endDialog(0);
}

void MainDialog::stopThreads() {
    worker_.stop();
    session_.stop();
    if (stronger_) stronger_->stop();
    services_.joinPreparation();
}

}  // namespace fifteen::ui
