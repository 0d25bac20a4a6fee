#include "ui/main_dialog.h"

#include <ctime>
#include <mutex>
#include <optional>

#include "puzzle/shuffle.h"
#include "search/report.h"
#include "ui/dialog_texts.h"

namespace fifteen::ui {

namespace {

int readyMessage(PreparedTable table) {
    switch (table) {
        case PreparedTable::patternDbA:
            return msgPatternDbAReady;
        case PreparedTable::patternDbB:
            return msgPatternDbBReady;
        case PreparedTable::wdTable:
            break;
    }
    return msgWdTableReady;
}

}  // namespace

// The solve's view of the dialog. Texts go to the controls from the solve thread
// (the platform marshals them); the flag and the playback position wait in atomics,
// the result under the lock, until the completion message hands them to the GUI
// thread. Relaxed order is enough: the blocking send of that message orders them
// before it is handled.
class MainDialog::Output final : public SolveOutput {
  public:
    explicit Output(Platform& platform) : platform_(platform) {}

    void setOutputText(const char* text) override {
        {
            // The first text of a solve is the problem, shown while the search
            // runs; the next one is the report, after which no progress may follow.
            std::lock_guard lock(mutex_);
            if (++outputCount_ == 1) problemText_ = text;
        }
        platform_.setControlText(idOutput, text);
    }
    void setStatusText(const char* text) override { platform_.setControlText(idStatus, text); }
    void setSecondsText(const char* text) override { platform_.setControlText(idSeconds, text); }
    void setSolutionAvailable(bool available) override {
        available_.store(available ? 1 : 0, std::memory_order_relaxed);
    }
    void setPlaybackPosition(int32_t position) override {
        position_.store(position, std::memory_order_relaxed);
    }
    void solveFinished(const SolveResult& result) override {
        {
            std::lock_guard lock(mutex_);
            result_ = result;
        }
        platform_.sendMessage(msgSolveFinished);
    }
    // While true the search's progress (the services' progress) is live, for a progress
    // line on the GUI thread; relaxed: it only decides what is shown.
    void searchStarted() override { searching_.store(true, std::memory_order_relaxed); }
    void searchEnded(SolveStatus) override { searching_.store(false, std::memory_order_relaxed); }
    bool searching() const { return searching_.load(std::memory_order_relaxed); }

    // Before a solve starts (GUI thread).
    void beginSolve() {
        std::lock_guard lock(mutex_);
        outputCount_ = 0;
        problemText_.clear();
    }
    // The problem text while the search runs, for the progress line under it.
    std::optional<std::string> searchingText() {
        std::lock_guard lock(mutex_);
        if (!searching() || outputCount_ != 1) return std::nullopt;
        return problemText_;
    }

    // -1: the job did not say.
    int takeAvailable() { return available_.exchange(-1, std::memory_order_relaxed); }
    int32_t takePosition() { return position_.exchange(-1, std::memory_order_relaxed); }
    SolveResult result() {
        std::lock_guard lock(mutex_);
        return result_;
    }

  private:
    Platform& platform_;
    std::mutex mutex_;
    int outputCount_ = 0;
    std::string problemText_;
    SolveResult result_;
    std::atomic<int> available_{-1};
    std::atomic<int32_t> position_{-1};
    std::atomic<bool> searching_{false};
};

MainDialog::MainDialog(Platform& platform)
    : platform_(platform),
      ownServices_(std::make_unique<ProgramServices>()),
      services_(*ownServices_),
      view_(platform),
      playback_(view_, platform),
      output_(std::make_unique<Output>(platform)) {
    stronger_ = std::make_unique<StrongerTablesControl>(platform, *services_.strongerTables());
}

MainDialog::MainDialog(Platform& platform, SolverServices& services)
    : platform_(platform),
      services_(services),
      view_(platform),
      playback_(view_, platform),
      output_(std::make_unique<Output>(platform)) {
    if (StrongerTablesSource* source = services_.strongerTables()) {
        stronger_ = std::make_unique<StrongerTablesControl>(platform, *source);
    }
}

MainDialog::~MainDialog() {
    if (!closed_) {
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
    platform_.setControlText(idStatus, startupStatus);
    showPreparationProgress();

    platform_.enableControl(idSolve, false);
    const bool started = services_.startPreparation([this](PreparedTable table, bool built) {
        // The ready message still goes out, so the dialog thread learns of the
        // failure; the blocking send orders this store before it is handled.
        if (!built) {
            buildFailed_[static_cast<int>(table)].store(true, std::memory_order_relaxed);
        }
        platform_.sendMessage(readyMessage(table));
    });
    if (!started) {
        showPreparationFailure();
    }
    opened_ = true;
    if (strongerTablesOn()) setStrongerTables(true);
}

void MainDialog::showPreparationFailure() {
    preparationFailed_ = true;
    platform_.setControlText(idStatus, noMemoryStatus);
    platform_.setControlText(idOutput, noMemoryReport);
}

void MainDialog::showPreparationProgress() {
    if (preparationFailed_) {
        return;
    }
    if (allReady()) {
        // The stronger tables' lines, when they came meanwhile, stay.
        if (strongerLines_.empty()) {
            platform_.setControlText(idOutput, "");
        } else {
            showStrongerTablesLines({});
        }
        return;
    }
    std::string text = buildingTablesHeading;
    for (int i = 0; i < 3; ++i) {
        text += tableMark(ready_[i]);
        text += tableNames[static_cast<size_t>(i)];
        text += "\r\n";
    }
    platform_.setControlText(idOutput, text);
}

void MainDialog::setMode(UiMode mode) {
    const bool wasBusy = mode_ == UiMode::solving || mode_ == UiMode::tracing;
    mode_ = mode;
    const bool busy = mode == UiMode::solving || mode == UiMode::tracing;
    // Taken before the buttons are disabled, which moves the focus on.
    if (busy && !wasBusy) {
        focusBeforeBusy_ = platform_.focusedControl();
    }
    for (int id = idShuffle; id <= idReset; ++id) {
        platform_.enableControl(id, !busy);
    }
    platform_.enableControl(idSolve, !busy && allReady());
    platform_.enableControl(idCancel, busy);
    // While a job runs, Space on the focused Cancel stops it; the focus returns
    // afterwards (to the board when its control is disabled now).
    if (busy && !wasBusy) {
        platform_.setFocus(idCancel);
    }
    if (busy) {
        platform_.enableControl(idTrace, false);
        return;
    }
    if (mode != UiMode::solved) {
        solutionAvailable_ = false;
        platform_.setControlText(idStatus, "");
        platform_.setControlText(idSeconds, zeroSecondsText);
    }
    platform_.enableControl(idTrace, solutionAvailable_ && lastSolve_.length > 0);
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
    const bool busy = mode_ == UiMode::solving || mode_ == UiMode::tracing;
    if ((busy && controlId != idCancel) || !beginUserAction()) {
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
    updateStaleMark();
    updateMoveMark();
}

void MainDialog::shuffle() {
    setMode(UiMode::idle);
    shuffleBoard(view_.board);
    view_.redraw();
    platform_.setCheck(idBackward, false);
    platform_.setCheck(idDirectDrag, false);
    platform_.setControlText(idStatus, shuffleStatus);
}

void MainDialog::backward() {
    setMode(UiMode::backward);
    view_.putGoal();
    view_.redraw();
    view_.backwardCount = 0;
    platform_.setCheck(idDirectDrag, false);
    platform_.setControlText(idStatus, backwardText(0));
}

void MainDialog::directDrag() {
    setMode(UiMode::directDrag);
    platform_.setCheck(idBackward, false);
    platform_.setControlText(idStatus, directDragStatus);
}

void MainDialog::reset() {
    const int32_t length = lastSolve_.length;
    switch (mode_) {
        case UiMode::backward:
            view_.putGoal();
            view_.redraw();
            view_.backwardCount = 0;
            platform_.setControlText(idStatus, backwardText(0));
            break;
        case UiMode::idle:
            view_.putGoal();
            view_.redraw();
            platform_.setControlText(idStatus, directDragStatus);
            break;
        case UiMode::directDrag:
            view_.putGoal();
            view_.redraw();
            break;
        case UiMode::solved:
            if (playback_.position > 0) {
                playback_.restore(lastSolve_.problem);
                platform_.setControlText(idStatus, movesText(0, length));
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
    reportShown_ = false;
    updateStaleMark();
    platform_.setControlText(idOutput, "");
    platform_.setCheck(idBackward, false);
    platform_.setCheck(idDirectDrag, false);
    seconds_ = 0;
    platform_.setTimer(timerMain, secondsPeriodMs);
    if (solveThread_.joinable()) {
        solveThread_.join();  // it has sent its completion message and is ending
    }
    // The solver's threads are the solve's: an analysis or review waiting gives way.
    worker_.cancel();
    // Here rather than in the job, so a Cancel clicked before the thread runs counts.
    services_.clearCancel();
    output_->beginSolve();
    solveStart_ = std::chrono::steady_clock::now();
    platform_.setTimer(timerProgress, progressPeriodMs);
    solveThread_ = std::thread([this, board = view_.board] { services_.solve(board, *output_); });
}

void MainDialog::cancel() {
    if (mode_ == UiMode::solving) {
        services_.cancelSolve();
    } else if (pausing_) {
        // Every move has been shown: the playback stops on the goal, as it stops
        // wherever it is when cancelled earlier.
        platform_.killTimer(timerPause);
        pausing_ = false;
        setMode(UiMode::solved);
    } else {
        playback_.stopRequest = true;
    }
}

void MainDialog::trace() {
    // From the last step there is nothing left to play: start again from the problem.
    if (playback_.position >= lastSolve_.length) {
        playback_.restore(lastSolve_.problem);
    }
    setMode(UiMode::tracing);
    platform_.setTimer(timerMain, playbackSpeeds[static_cast<size_t>(speed_)].periodMs);
}

void MainDialog::onTimer(int timerId) {
    if (closed_) {
        return;
    }
    if (timerId == timerPause) {
        endPause();
        updateMoveMark();
        return;
    }
    if (timerId == timerStep) {
        if (playback_.stepTick()) {
            stepping_ = false;
            platform_.killTimer(timerStep);
            followBoard();
        }
        updateMoveMark();
        return;
    }
    if (timerId == timerSpeedNote) {
        endSpeedNote();
        return;
    }
    if (timerId == timerProgress) {
        showProgress();
        return;
    }
    if (timerId != timerMain) {
        return;
    }
    if (mode_ == UiMode::tracing) {
        if (!pausing_) {
            traceTick();
            updateMoveMark();
        }
        return;
    }
    ++seconds_;
    StatusText text;
    formatSeconds(text, seconds_);
    platform_.setControlText(idSeconds, text.c_str());
}

void MainDialog::traceTick() {
    switch (playback_.tick(lastSolve_.moves.data(), lastSolve_.length)) {
        case Playback::Tick::moved:
            break;
        case Playback::Tick::stopped:
            platform_.killTimer(timerMain);
            setMode(UiMode::solved);
            followBoard();
            break;
        case Playback::Tick::finished:
            // The pause before the problem comes back runs on a timer of its own,
            // so the dialog keeps answering meanwhile.
            platform_.killTimer(timerMain);
            playback_.stopRequest = false;
            pausing_ = true;
            platform_.setTimer(timerPause, pauseMs);
            break;
    }
}

void MainDialog::endPause() {
    platform_.killTimer(timerPause);
    if (!pausing_) {
        return;
    }
    pausing_ = false;
    playback_.restore(lastSolve_.problem);
    setMode(UiMode::solved);
    platform_.setControlText(idStatus, movesText(0, lastSolve_.length));
    followBoard();
}

void MainDialog::showProgress() {
    const auto text = output_->searchingText();
    const SearchProgress progress = services_.progress();
    if (!text || progress.bound <= 0) return;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - solveStart_);
    ProgressText line;
    formatProgress(line, progress.bound, progress.nodes, elapsed.count());
    // The output box is narrower than the line: the counts go on a line of their own.
    std::string shown = line.c_str();
    if (const auto comma = shown.find(", "); comma != std::string::npos) {
        shown.replace(comma, 2, ",\r\n ");
    }
    platform_.setControlText(idOutput, *text + shown);
}

void MainDialog::onMessage(int message) {
    if (closed_) {
        return;
    }
    PreparedTable table;
    switch (message) {
        case msgPatternDbAReady:
            table = PreparedTable::patternDbA;
            break;
        case msgPatternDbBReady:
            table = PreparedTable::patternDbB;
            break;
        case msgWdTableReady:
            table = PreparedTable::wdTable;
            break;
        case msgAnalysisFinished:
            onWorkerMessage();
            return;
        case msgSolveFinished: {
            platform_.killTimer(timerMain);
            platform_.killTimer(timerProgress);
            // The completion message hands the solve's result over to this thread.
            const SolveResult result = output_->result();
            keepSolve(result);
            if (result.status == solveUnsolvable) {
                explainUnsolvable();
            }
            const int available = output_->takeAvailable();
            if (available >= 0) {
                solutionAvailable_ = available == 1;
            }
            const int32_t position = output_->takePosition();
            if (position >= 0) {
                playback_.position = position;
            }
            setMode(UiMode::solved);
            reportShown_ = true;
            updateStaleMark();
            updateMoveMark();
            return;
        }
        case msgStrongerTablesLine:
        case msgStrongerTablesDone:
            onStrongerTablesMessage(message);
            return;
        default:
            return;
    }
    if (buildFailed_[static_cast<int>(table)].load(std::memory_order_relaxed)) {
        showPreparationFailure();
        return;
    }
    ready_[static_cast<int>(table)] = true;
    showPreparationProgress();
    if (allReady()) {
        platform_.enableControl(idSolve, true);
        followBoard();
    }
}

// As the solver's record kept it: an unsolvable or invalid board replaces only the
// problem, so the earlier solution's length and moves stay; a cancelled solve
// leaves no moves (length 0).
void MainDialog::keepSolve(const SolveResult& result) {
    SolveResult kept = result;
    if (result.status != solveSolved && result.status != solveCancelled) {
        kept.length = lastSolve_.length;
        kept.moves = lastSolve_.moves;
    }
    lastSolve_ = kept;
}

void MainDialog::onMouse(MouseEvent event, Point client) {
    if (closed_) {
        return;
    }
    const Rect board = view_.rect();
    const Point onBoard{client.x - board.left, client.y - board.top};
    if (client.x < board.left || client.x > board.right || client.y < board.top ||
        client.y > board.bottom) {
        // A lifted tile follows the pointer off the board; released there, the
        // drag is called off.
        if (mode_ == UiMode::directDrag && view_.motion.tile != 0) {
            if (event == MouseEvent::leftUp) {
                view_.cancelDrag();
            } else {
                view_.onMouse(mode_, event, onBoard);
            }
        }
        return;
    }
    if (event == MouseEvent::leftDown) {
        // In any mode, so the keys reach the board; while a job runs they do from
        // Cancel, which keeps the focus.
        platform_.setFocus(busy() ? idCancel : focusBoard);
    }
    if (mode_ != UiMode::backward && mode_ != UiMode::directDrag) {
        return;
    }
    view_.onMouse(mode_, event, onBoard);
    if (event == MouseEvent::leftUp) updateStaleMark();
    // A lifted tile takes the marks away until it lands.
    if (event == MouseEvent::leftDown) followBoard();
}

void MainDialog::onPaint() {
    if (!closed_) {
        platform_.invalidateBoard(view_.rect(), view_.surface());
    }
}

void MainDialog::onClose() {
    if (closed_) {
        return;
    }
    closed_ = true;
    platform_.killTimer(timerMain);
    platform_.killTimer(timerPause);
    for (const int timer : {timerStep, timerSpeedNote, timerProgress}) {
        platform_.killTimer(timer);
    }
    platform_.releaseCursor();
    // From here on the workers' sends return at once, so joining them cannot wait
    // on this thread.
    platform_.beginClose();
    stopThreads();
    services_.releaseTables();
    view_.releaseSurfaces();
    platform_.endDialog(0);
}

void MainDialog::stopThreads() {
    worker_.stop();
    if (solveThread_.joinable()) {
        // The request is kept until the search starts, so one is enough.
        if (mode_ == UiMode::solving) services_.cancelSolve();
        solveThread_.join();
    }
    if (stronger_) stronger_->stop();
    services_.joinPreparation();
}

}  // namespace fifteen::ui
