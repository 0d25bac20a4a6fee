#include "ui/dialog_actions.h"

#include "puzzle/moves.h"
#include "puzzle/position_parser.h"
#include "puzzle/solution_replay.h"
#include "ui/dialog_texts.h"
#include "ui/main_dialog.h"

namespace fifteen::ui {

std::string pasteErrorText(const std::string& parserMessage) {
    // Whole: the status line elides what does not fit and shows it all as its
    // tooltip, and the output box shows it too.
    return pastePrefix + parserMessage;
}

std::pair<int, int> solutionMoveSpan(const std::string& report, int32_t move) {
    // As appendSolution writes the list: " %2d" a move, ten to a line.
    constexpr std::string_view heading = "Solution:\r\n";
    constexpr size_t cell = 3, line = 10 * cell + 2;
    const size_t list = report.find(heading);
    if (move < 0 || list == std::string::npos) return {0, 0};
    const auto index = static_cast<size_t>(move);
    size_t begin = list + heading.size() + index / 10 * line + index % 10 * cell;
    const size_t end = begin + cell;
    if (end > report.size()) return {0, 0};
    while (begin < end && report[begin] == ' ') ++begin;
    for (size_t i = begin; i < end; ++i) {
        if (report[i] < '0' || report[i] > '9') return {0, 0};
    }
    if (begin == end) return {0, 0};
    return {static_cast<int>(begin), static_cast<int>(end)};
}

std::string solutionText(const Board& problem, const int32_t* solution, int32_t length) {
    std::vector<int32_t> moves(solution, solution + (length > 0 ? length : 0));
    std::string tiles;
    for (const int32_t tile : moves) {
        if (!tiles.empty()) tiles += ' ';
        tiles += std::to_string(tile);
    }
    std::string directions;
    replaySolution(problem, moves, directions);
    return tiles + "\n" + directions + "\n";
}

// Every user action (a command, a menu action, a drop) starts here: none once the
// dialog is closed, and a lifted tile goes back and a sliding step lands first, so
// the action sees a whole board and the cursor is free again.
bool MainDialog::beginUserAction() {
    if (closed_) return false;
    endDrag();
    finishStep();
    return true;
}

bool MainDialog::busy() const {
    return mode_ == UiMode::solving || mode_ == UiMode::tracing || pausing_;
}

void MainDialog::endDrag() {
    if (mode_ == UiMode::directDrag) view_.cancelDrag();
}

void MainDialog::finishStep() {
    if (!stepping_) return;
    stepping_ = false;
    platform_.killTimer(timerStep);
    playback_.finishStep();
}

int32_t MainDialog::solutionLength() const {
    return lastSolve_.length;
}

bool MainDialog::canStep() const {
    return mode_ == UiMode::solved && !pausing_ && solutionAvailable_ && solutionLength() > 0;
}

std::vector<MenuItem> MainDialog::menuItems() const {
    const bool steps = canStep();
    const int32_t position = playback_.position;
    const int32_t length = solutionLength();
    const bool solution = solutionAvailable_ && length > 0;
    const bool forward = steps && position < length;
    const bool back = steps && position > 0;
    const bool faster = speed_ + 1 < static_cast<int>(playbackSpeeds.size());
    // In the order of Action: paste, paste blank first, copy, copy solution, step
    // forward, step back, back to the problem, show the goal, faster, slower,
    // optimal moves, check my moves, stronger tables, about.
    const bool enabled[] = {!busy(),
                            true,
                            true,
                            solution,
                            forward,
                            back,
                            back,
                            forward,
                            faster,
                            speed_ > 0,
                            true,
                            !busy() && allReady(),
                            stronger_ != nullptr,
                            true};
    static_assert(std::size(enabled) == actionTexts.size());
    std::vector<MenuItem> items;
    for (size_t action = 0; action < actionTexts.size(); ++action) {
        items.push_back({static_cast<int>(action), actionTexts[action].label,
                         actionTexts[action].shortcut, enabled[action]});
    }
    items[static_cast<size_t>(Action::pasteBlankFirst)].checkable = true;
    items[static_cast<size_t>(Action::pasteBlankFirst)].checked = pasteGoal_ == Goal::blankFirst;
    items[static_cast<size_t>(Action::showOptimalMoves)].checkable = true;
    items[static_cast<size_t>(Action::showOptimalMoves)].checked = marksOn_;
    items[static_cast<size_t>(Action::strongerTables)].checkable = true;
    items[static_cast<size_t>(Action::strongerTables)].checked = strongerTablesOn();
    return items;
}

void MainDialog::runAction(Action action) {
    if (!beginUserAction()) return;
    switch (action) {
        case Action::pastePosition:
            paste(platform_.clipboardText());
            break;
        case Action::pasteBlankFirst:
            pasteGoal_ = pasteGoal_ == Goal::blankFirst ? Goal::blankLast : Goal::blankFirst;
            settings_->setBool(settingKeys::pasteBlankFirst, pasteGoal_ == Goal::blankFirst);
            break;
        case Action::copyPosition:
            copyPosition();
            break;
        case Action::copySolution:
            copySolution();
            break;
        case Action::stepForward:
        case Action::stepBack:
            if (canStep()) step(action == Action::stepForward, true);
            break;
        case Action::toProblem:
            if (canStep()) jumpTo(0);
            break;
        case Action::toGoal:
            if (canStep()) jumpTo(solutionLength());
            break;
        case Action::faster:
            changeSpeed(+1);
            break;
        case Action::slower:
            changeSpeed(-1);
            break;
        case Action::showOptimalMoves:
            setMarksOn(!marksOn());
            break;
        case Action::checkMyMoves:
            checkMoves();
            break;
        case Action::strongerTables:
            setStrongerTables(!strongerTablesOn());
            break;
        case Action::about:
            showAbout();
            break;
    }
    updateStaleMark();
    updateMoveMark();
}

void MainDialog::onContextMenu(Point client) {
    if (!beginUserAction()) return;
    const int chosen = platform_.popupMenu(menuItems(), client);
    if (chosen >= 0) runAction(static_cast<Action>(chosen));
}

void MainDialog::onDropText(std::string_view text) {
    if (!beginUserAction()) return;
    paste(text);
    updateStaleMark();
    updateMoveMark();
}

bool MainDialog::onKey(Key key, bool autoRepeat) {
    if (closed_) return false;
    const bool dragging = mode_ == UiMode::directDrag && view_.motion.tile != 0;
    endDrag();
    switch (key) {
        case Key::escape:
            if (dragging) return true;
            // Out of the output box, the arrow keys are the board's again; while a
            // job runs the focus belongs on Cancel.
            if (platform_.focusedControl() == idOutput) {
                platform_.setFocus(busy() ? idCancel : focusBoard);
            }
            if (mode_ == UiMode::solving || mode_ == UiMode::tracing) onCommand(idCancel);
            return true;  // never the window system's: it would close the dialog
        case Key::copy:
            runAction(Action::copyPosition);
            return true;
        case Key::paste:
            runAction(Action::pastePosition);
            return true;
        case Key::help:
            showHelp();
            return true;
        case Key::menu: {
            const Rect board = view_.rect();
            onContextMenu(Point{board.left + board.width() / 2, board.top + board.height() / 2});
            return true;
        }
        case Key::faster:
            runAction(Action::faster);
            return true;
        case Key::slower:
            runAction(Action::slower);
            return true;
        case Key::optimalMoves:
            runAction(Action::showOptimalMoves);
            break;
        case Key::strongerTables:
            runAction(Action::strongerTables);
            return true;
        case Key::home:
        case Key::end:
            if (!canStep()) return false;
            runAction(key == Key::home ? Action::toProblem : Action::toGoal);
            return true;
        case Key::left:
        case Key::right:
        case Key::up:
        case Key::down: {
            const bool used = arrowKey(key, autoRepeat);
            updateStaleMark();
            updateMoveMark();
            return used;
        }
    }
    return false;
}

bool MainDialog::arrowKey(Key key, bool autoRepeat) {
    if (mode_ == UiMode::backward) {
        const int dColumn = key == Key::left ? -1 : key == Key::right ? 1 : 0;
        const int dRow = key == Key::up ? -1 : key == Key::down ? 1 : 0;
        view_.slideIntoBlank(dColumn, dRow);
        return true;
    }
    if ((key != Key::left && key != Key::right) || !canStep()) return false;
    finishStep();
    step(key == Key::right, !autoRepeat);
    return true;
}

void MainDialog::step(bool forward, bool animate) {
    const int32_t position = playback_.position;
    if (!animate) {
        const int32_t target = forward ? position + 1 : position - 1;
        if (target >= 0 && target <= solutionLength()) jumpTo(target);
        return;
    }
    if (playback_.startStep(lastSolve_.moves.data(), solutionLength(), forward)) {
        stepping_ = true;
        platform_.setTimer(timerStep, playbackSpeeds[static_cast<size_t>(speed_)].periodMs);
    }
}

void MainDialog::jumpTo(int32_t position) {
    // Replayed from the problem, so any mix of steps ends on the exact position.
    Board board = lastSolve_.problem;
    for (int32_t i = 0; i < position; ++i) {
        slideTile(board, lastSolve_.moves[static_cast<size_t>(i)]);
    }
    view_.board = board;
    view_.motion = TileInMotion{};
    playback_.position = position;
    playback_.direction = SlideDirection::none;
    view_.redraw();
    platform_.setControlText(idStatus, movesText(position, solutionLength()));
}

void MainDialog::changeSpeed(int delta) {
    const int next = speed_ + delta;
    if (next < 0 || next >= static_cast<int>(playbackSpeeds.size())) return;
    speed_ = next;
    settings_->setInt(settingKeys::playbackSpeed, speed_);
    const int period = playbackSpeeds[static_cast<size_t>(speed_)].periodMs;
    if (mode_ == UiMode::tracing && !pausing_) platform_.setTimer(timerMain, period);
    if (speedNote_.empty()) statusBeforeNote_ = platform_.controlText(idStatus);
    speedNote_ = std::string(speedPrefix) + playbackSpeeds[static_cast<size_t>(speed_)].name;
    platform_.setControlText(idStatus, speedNote_);
    platform_.setTimer(timerSpeedNote, speedNoteMs);
}

void MainDialog::endSpeedNote() {
    platform_.killTimer(timerSpeedNote);
    // Anything written meanwhile (a landed step, a solve) stays.
    if (!speedNote_.empty() && platform_.controlText(idStatus) == speedNote_) {
        platform_.setControlText(idStatus, statusBeforeNote_);
    }
    speedNote_.clear();
}

void MainDialog::paste(std::string_view text) {
    if (busy()) return;
    const ParsedPosition parsed = parsePosition(text);
    if (!parsed.ok) {
        const std::string message = pasteErrorText(parsed.error);
        platform_.setControlText(idStatus, message);
        showOutputNote(message.substr(message.find_first_not_of(' ')));
        return;
    }
    showOutputNote("");
    // As DirectDrag would have left it: no solution, and out of backward play,
    // whose move count would no longer mean anything.
    if (mode_ != UiMode::directDrag) {
        setMode(UiMode::idle);
        platform_.setCheck(idBackward, false);
    } else {
        setMode(UiMode::directDrag);
    }
    // The board's goal stays blank last: a position written for the blank first
    // is shown turned onto it, the same problem with the same solution length.
    view_.board = boardForSearch(parsed.board, pasteGoal_);
    view_.motion = TileInMotion{};
    playback_.position = 0;
    playback_.direction = SlideDirection::none;
    view_.redraw();
    platform_.setControlText(
        idStatus, pasteGoal_ == Goal::blankFirst ? pastedBlankFirstStatus : pastedStatus);
}

void MainDialog::copyPosition() {
    platform_.setClipboardText(formatPosition(view_.settledBoard()));
}

void MainDialog::copySolution() {
    const int32_t length = solutionLength();
    if (!solutionAvailable_ || length <= 0) return;
    platform_.setClipboardText(solutionText(lastSolve_.problem, lastSolve_.moves.data(), length));
}

void MainDialog::showOutputNote(const std::string& note) {
    std::string text = platform_.controlText(idOutput);
    const std::string separator = std::string("\r\n") + outputSeparator + "\r\n";
    const size_t earlier = text.find(separator);
    if (earlier != std::string::npos) text.erase(earlier);
    if (!note.empty()) text += separator + note + "\r\n";
    if (text != platform_.controlText(idOutput)) platform_.setControlText(idOutput, text);
}

bool MainDialog::isStepOfReport(const Board& board) const {
    Board step = lastSolve_.problem;
    if (board == step) return true;
    if (lastSolve_.status != solveSolved) return false;
    for (int32_t i = 0; i < lastSolve_.length; ++i) {
        slideTile(step, lastSolve_.moves[static_cast<size_t>(i)]);
        if (board == step) return true;
    }
    return false;
}

void MainDialog::updateStaleMark() {
    const bool stale = reportShown_ && !isStepOfReport(view_.settledBoard());
    if (stale != staleShown_) {
        staleShown_ = stale;
        platform_.setOutputStale(stale ? staleReportNote : "");
    }
    followBoard();
}

void MainDialog::updateMoveMark() {
    const bool onSolution = reportShown_ && !staleShown_ && lastSolve_.status == solveSolved &&
                            (mode_ == UiMode::solved || mode_ == UiMode::tracing);
    const int32_t move = onSolution ? playback_.position - 1 : -1;
    if (move == markedMove_) return;
    markedMove_ = move;
    const auto [begin, end] = solutionMoveSpan(platform_.controlText(idOutput), move);
    platform_.markOutput(begin, end);
}

void MainDialog::explainUnsolvable() {
    platform_.setControlText(idOutput,
                             platform_.controlText(idOutput) + "\r\n" + unsolvableHint + "\r\n");
}

}  // namespace fifteen::ui
