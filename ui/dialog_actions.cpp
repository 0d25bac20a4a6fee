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
    if (state_ == DialogState::closed) return false;
    endDrag();
    finishStep();
    return true;
}

void MainDialog::endDrag() {
    if (state_ == DialogState::directDrag) view_.cancelDrag();
}

std::vector<MenuItem> MainDialog::menuItems() const {
    const bool steps = canStep();
    const int32_t position = playback_.position;
    const int32_t length = solutionLength();
    const bool solution = solutionAvailable() && length > 0;
    const bool forward = steps && position < length;
    const bool back = steps && position > 0;
    const bool faster = speed_ + 1 < static_cast<int>(playbackSpeeds.size());
    // In the order of Action: undo, redo, paste, paste blank first, copy, copy
    // solution, step forward, step back, back to the problem, show the goal,
    // faster, slower, optimal moves, check my moves, stronger tables, about.
    const bool enabled[] = {!busy() && history_.canUndo(),
                            !busy() && history_.canRedo(),
                            !busy(),
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
    const auto toggle = [&items](Action action, bool checked) {
        items[static_cast<size_t>(action)].checkable = true;
        items[static_cast<size_t>(action)].checked = checked;
    };
    toggle(Action::pasteBlankFirst, pasteGoal_ == Goal::blankFirst);
    toggle(Action::showOptimalMoves, marksOn());
    toggle(Action::strongerTables, strongerTablesOn());
    for (const std::size_t first : menuGroupStarts) items[first].separatorBefore = true;
    return items;
}

void MainDialog::runAction(Action action) {
    if (!beginUserAction()) return;
    switch (action) {
        case Action::undo:
            undo();
            break;
        case Action::redo:
            redo();
            break;
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
    followBoard();
}

void MainDialog::onContextMenu(Point client) {
    if (!beginUserAction()) return;
    const int chosen = platform_.popupMenu(menuItems(), client);
    if (chosen >= 0) runAction(static_cast<Action>(chosen));
}

void MainDialog::onDropText(std::string_view text) {
    if (!beginUserAction()) return;
    paste(text);
    followBoard();
}

bool MainDialog::onKey(Key key, bool autoRepeat) {
    if (state_ == DialogState::closed) return false;
    const bool dragging = state_ == DialogState::directDrag && view_.motion.tile != 0;
    endDrag();
    switch (key) {
        case Key::escape:
            if (dragging) return true;
            // Out of the output box, the arrow keys are the board's again; while a
            // job runs the focus belongs on Cancel.
            if (platform_.focusedControl() == idOutput) {
                platform_.setFocus(busy() ? idCancel : focusBoard);
            }
            if (mode() == UiMode::solving || mode() == UiMode::tracing) onCommand(idCancel);
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
            return true;
        case Key::strongerTables:
            runAction(Action::strongerTables);
            return true;
        case Key::undo:
            runAction(Action::undo);
            return true;
        case Key::redo:
            runAction(Action::redo);
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
            followBoard();
            return used;
        }
    }
    return false;
}

void MainDialog::paste(std::string_view text) {
    if (busy()) return;
    const ParsedPosition parsed = parsePosition(text);
    if (!parsed.ok) {
        const std::string message = pasteErrorText(parsed.error);
        status_.set(message);
        output_.setNote(message.substr(message.find_first_not_of(' ')));
        return;
    }
    output_.setNote("");
    recordBoard();
    // As DirectDrag would have left it: no solution, and out of backward play,
    // whose move count would no longer mean anything.
    if (state_ != DialogState::directDrag) {
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
    status_.set(pasteGoal_ == Goal::blankFirst ? pastedBlankFirstStatus : pastedStatus);
}

void MainDialog::copyPosition() {
    platform_.setClipboardText(formatPosition(view_.settledBoard()));
}

void MainDialog::copySolution() {
    const int32_t length = solutionLength();
    if (!solutionAvailable() || length <= 0) return;
    platform_.setClipboardText(solutionText(lastSolve().problem, lastSolve().moves.data(), length));
}

}  // namespace fifteen::ui
