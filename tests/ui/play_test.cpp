// Playing the puzzle on the headless host: clicks and arrow keys slide tiles,
// a play to the goal is reviewed against the breadth-first distances, and every
// played move and board-replacing command is undone to the start and redone to
// the end.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "puzzle/moves.h"
#include "puzzle/position_parser.h"
#include "tests/ui/ui_test_support.h"
#include "ui/dialog_texts.h"
#include "ui/play.h"

namespace fifteen::ui::testing {
namespace {

int blankOf(const Board& board) {
    return static_cast<int>(std::find(board.begin(), board.end(), 0) - board.begin());
}

// The arrow that slides the tile in cell into the blank beside it.
Key arrowFor(const Board& board, int cell) {
    const int blank = blankOf(board);
    if (cell == blank + 1) return Key::left;
    if (cell == blank - 1) return Key::right;
    if (cell == blank + 4) return Key::up;
    return Key::down;
}

int cellOf(const Board& board, int32_t tile) {
    return static_cast<int>(std::find(board.begin(), board.end(), tile) - board.begin());
}

// One move of tile, by a click on it or by the arrow key that slides it.
void playTile(DialogRig& rig, int32_t tile, bool byKey) {
    const Board& board = rig.dialog.view().board;
    const int cell = cellOf(board, tile);
    if (byKey) {
        EXPECT_TRUE(rig.host.key(arrowFor(board, cell)));
    } else {
        rig.clickCell(cell);
    }
}

int32_t distanceOf(const Board& board) {
    return static_cast<int32_t>(shortestSolution(board, 16)->size());
}

// From a pasted position, a detour of random moves, then the way home: the
// review that starts at the goal has the breadth-first distance after every
// move, and the play stays on the board as a solution from its start.
TEST(Play, ToTheGoalByClicksAndKeysIsReviewedAgainstTheDistances) {
    for (const bool byKey : {false, true}) {
        DialogRig rig;
        rig.makeReady();
        std::mt19937 random(byKey ? 3 : 4);
        const Board start = test_support::randomWalkFromGoal(random, 9);
        rig.host.dropText(formatPosition(start));
        ASSERT_EQ(rig.dialog.view().board, start);
        std::vector<int32_t> played;
        for (int i = 0; i < 4; ++i) {
            const Board board = rig.dialog.view().board;
            const int blank = blankOf(board);
            std::vector<int32_t> beside;
            for (const int cell : {blank - 4, blank + 4, blank - 1, blank + 1}) {
                if (cell >= 0 && cell < 16 && (cell / 4 == blank / 4 || cell % 4 == blank % 4))
                    beside.push_back(board[static_cast<size_t>(cell)]);
            }
            const int32_t tile = beside[random() % beside.size()];
            playTile(rig, tile, byKey);
            played.push_back(tile);
            EXPECT_EQ(rig.host.controlText(idStatus), playStatus(static_cast<int32_t>(i + 1)));
        }
        const std::vector<int32_t> home = *shortestSolution(rig.dialog.view().board, 16);
        for (const int32_t tile : home) {
            playTile(rig, tile, byKey);
            played.push_back(tile);
        }
        ASSERT_EQ(rig.dialog.view().board, goalBoard);
        EXPECT_EQ(rig.host.controlText(idStatus).rfind(
                      " Solved in " + std::to_string(played.size()) + " moves", 0),
                  0u);
        EXPECT_FALSE(rig.host.boardNote.empty());
        ASSERT_TRUE(rig.host.pumpUntil([&] { return rig.dialog.plotShown(); }));
        EXPECT_EQ(rig.dialog.mode(), UiMode::solved);
        const SolveResult& shown = rig.dialog.lastSolve();
        ASSERT_EQ(shown.length, static_cast<int32_t>(played.size()));
        EXPECT_TRUE(std::equal(played.begin(), played.end(), shown.moves.begin()));
        EXPECT_EQ(shown.problem, start);
        EXPECT_EQ(rig.dialog.playback().position, shown.length);  // the board at its end
        const ReviewPlot& plot = rig.dialog.plot();
        EXPECT_EQ(plot.startLength, distanceOf(start));
        Board board = start;
        for (size_t i = 0; i < played.size(); ++i) {
            slideTile(board, played[i]);
            EXPECT_EQ(plot.distances[i], distanceOf(board)) << "after move " << i + 1;
        }
        EXPECT_NE(rig.host.controlText(idOutput).find(playedHeading), std::string::npos);
        // Stepping back goes through the play, and the goal's note goes with it.
        rig.host.key(Key::left, true);
        EXPECT_EQ(rig.dialog.playback().position, shown.length - 1);
        EXPECT_TRUE(rig.host.boardNote.empty());
        rig.host.close();
    }
}

// A play longer than a solution can hold: its review is said in the output box,
// current (not dimmed), without becoming the shown solution.
TEST(Play, LongerThanASolutionIsReviewedInTextAlone) {
    DialogRig rig;
    rig.makeReady();
    // Four moves from the goal: 6 left, 7 up, 11 left, 12 up bring it home.
    const Board start = {1, 2, 3, 4, 5, 0, 6, 8, 9, 10, 7, 11, 13, 14, 15, 12};
    rig.host.dropText(formatPosition(start));
    for (int i = 0; i < 42; ++i) {
        rig.host.key(Key::left);
        rig.host.key(Key::right);
    }
    for (const Key key : {Key::left, Key::up, Key::left, Key::up}) rig.host.key(key);
    ASSERT_EQ(rig.dialog.view().board, goalBoard);
    ASSERT_TRUE(rig.host.pumpUntil(
        [&] { return rig.host.controlText(idOutput).find(playedHeading) != std::string::npos; }));
    EXPECT_NE(rig.host.controlText(idOutput).find("88 moves, 84 more than the optimal 4"),
              std::string::npos)
        << rig.host.controlText(idOutput);
    rig.host.key(Key::optimalMoves);  // anything that follows the board
    EXPECT_EQ(rig.host.staleNote, "");
    EXPECT_FALSE(rig.dialog.plotShown());
    EXPECT_NE(rig.dialog.lastSolve().length, 88);
    rig.host.close();
}

// Any mix of played moves and commands that replace the board: Undo walks back
// through every board shown, to the first, and Redo forward again to the last.
TEST(UndoRedo, RandomPlaysAndCommandsUndoToTheStartAndRedoToTheEnd) {
    DialogRig rig;
    rig.makeReady();
    std::mt19937 random(19);
    // Every board shown, once for each change.
    std::vector<Board> boards = {rig.dialog.view().board};
    const auto noteChange = [&] {
        if (rig.dialog.view().board != boards.back()) boards.push_back(rig.dialog.view().board);
    };
    for (int step = 0; step < 150; ++step) {
        switch (random() % 10) {
            case 0:
                rig.host.click(idShuffle);
                break;
            case 1:
                rig.host.dropText(formatPosition(test_support::randomWalkFromGoal(random, 6)));
                break;
            case 2:
                rig.host.click(idDirectDrag);
                rig.drag(static_cast<int>(random() % 16), static_cast<int>(random() % 16));
                noteChange();
                rig.host.click(idShuffle);  // out of DirectDrag, where clicks lift tiles
                break;
            case 3:
                rig.host.click(idReset);
                break;
            case 4:
                rig.host.click(idBackward);
                noteChange();
                for (const int cell : {14, 10, 9}) {
                    rig.clickCell(cell);
                    noteChange();
                }
                rig.host.key(Key::down);
                noteChange();
                rig.host.click(idShuffle);  // out of backward play
                break;
            case 5:
                rig.host.key(random() % 2 ? Key::up : Key::left);
                break;
            default:
                rig.clickCell(static_cast<int>(random() % 16));
                break;
        }
        noteChange();
    }
    ASSERT_GE(boards.size(), 100u);
    std::vector<Board> back = {rig.dialog.view().board};
    while (rig.dialog.history().canUndo()) {
        ASSERT_TRUE(rig.host.key(Key::undo));
        if (rig.dialog.view().board != back.back()) back.push_back(rig.dialog.view().board);
    }
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(back, boards);
    std::vector<Board> forward = {rig.dialog.view().board};
    while (rig.dialog.history().canRedo()) {
        ASSERT_TRUE(rig.host.key(Key::redo));
        if (rig.dialog.view().board != forward.back()) forward.push_back(rig.dialog.view().board);
    }
    EXPECT_EQ(forward, boards);
}

TEST(UndoRedo, UndoingAPlayedMoveTakesItBackFromThePlay) {
    DialogRig rig;
    rig.host.dropText(formatPosition(goalBoard));
    rig.clickCell(14);
    rig.clickCell(10);
    EXPECT_EQ(rig.dialog.play().count(), 2);
    rig.host.key(Key::undo);
    EXPECT_EQ(rig.dialog.play().count(), 1);
    EXPECT_EQ(rig.host.controlText(idStatus), playStatus(1));
    rig.host.key(Key::redo);
    EXPECT_EQ(rig.dialog.play().count(), 2);
    // The menu offers what there is to do.
    rig.host.menuChoice = -1;
    rig.host.rightClick(rig.cellCentre(0));
    EXPECT_TRUE(rig.host.lastMenu.at(static_cast<size_t>(Action::undo)).enabled);
    EXPECT_FALSE(rig.host.lastMenu.at(static_cast<size_t>(Action::redo)).enabled);
    int separators = 0;
    for (const MenuItem& item : rig.host.lastMenu) separators += item.separatorBefore ? 1 : 0;
    EXPECT_EQ(separators, static_cast<int>(menuGroupStarts.size()));
}

// An illegal move reopens the input with what was typed, that move selected and
// named; the corrected moves are then checked.
TEST(CheckMyMoves, AnIllegalMoveReopensTheInputWithItSelected) {
    DialogRig rig;
    rig.makeReady();
    rig.host.dropText(formatPosition(goalBoard));
    // 15 slides right; then 1, in the top left corner, is nowhere near the blank.
    const int32_t legal = 15, far = 1;
    const std::string typed = "15,  1 3";
    rig.host.textAnswer = typed;
    rig.host.textAnswersAgain = {std::to_string(legal)};
    rig.dialog.runAction(Action::checkMyMoves);
    ASSERT_EQ(rig.host.askedAgainCount, 1);
    const TextRequest& again = rig.host.askedAgain;
    EXPECT_EQ(again.initial, typed);
    EXPECT_EQ(typed.substr(static_cast<size_t>(again.selectBegin),
                           static_cast<size_t>(again.selectEnd - again.selectBegin)),
              std::to_string(far));
    EXPECT_NE(again.label.find("move 2 (" + std::to_string(far) + ")"), std::string::npos)
        << again.label;
    ASSERT_TRUE(rig.host.pumpUntil([&] { return rig.dialog.plotShown(); }));
    EXPECT_EQ(rig.dialog.lastSolve().length, 1);
    EXPECT_EQ(rig.dialog.lastSolve().moves[0], legal);
}

TEST(BoardHistory, IsBoundedAndForgetsRedoOnANewChange) {
    BoardHistory history;
    BoardHistory::Entry entry;
    for (size_t i = 0; i < BoardHistory::capacity + 10; ++i) {
        entry.backwardCount = static_cast<int32_t>(i);
        history.record(entry);
    }
    EXPECT_EQ(history.undoCount(), BoardHistory::capacity);
    BoardHistory::Entry current;
    current.backwardCount = -1;
    const auto back = history.undo(current);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->backwardCount, static_cast<int32_t>(BoardHistory::capacity + 9));
    EXPECT_TRUE(history.canRedo());
    history.record(current);
    EXPECT_FALSE(history.canRedo());
}

TEST(PlayTexts, TimeIsMinutesAndSecondsWithHoursWhenThereAreAny) {
    for (const int32_t s : {0, 5, 59, 60, 61, 599, 3599, 3600, 3661, 86399}) {
        const std::string text = playTime(s);
        int h = 0, m = 0, sec = 0;
        if (s >= 3600) {
            ASSERT_EQ(std::sscanf(text.c_str(), "%d:%d:%d", &h, &m, &sec), 3) << text;
        } else {
            ASSERT_EQ(std::sscanf(text.c_str(), "%d:%d", &m, &sec), 2) << text;
        }
        EXPECT_EQ(h * 3600 + m * 60 + sec, s) << text;
        EXPECT_LT(sec, 60);
    }
}

}  // namespace
}  // namespace fifteen::ui::testing
