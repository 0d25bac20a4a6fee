// The dialog's tools on the headless host: paste and copy, stepping through a
// solution, keyboard play, the context menu, and a lifted tile meeting a command.

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "puzzle/position_parser.h"
#include "puzzle/shuffle.h"
#include "tests/support/walks.h"
#include "tests/ui/ui_test_support.h"

namespace fifteen::ui {
namespace {

using testing::DialogRig;

Board randomBoard(std::mt19937& rng) {
    Board b = goalBoard;
    std::shuffle(b.begin(), b.end(), rng);
    return b;
}

std::vector<int32_t> numbers(const std::string& line) {
    std::istringstream in(line);
    std::vector<int32_t> out;
    for (int32_t v; in >> v;) out.push_back(v);
    return out;
}

void paste(DialogRig& rig, const std::string& text) {
    rig.host.clipboard = text;
    rig.host.key(Key::paste);
}

void solvedRig(DialogRig& rig, const Board& problem) {
    rig.makeReady();
    rig.host.click(idDirectDrag);
    paste(rig, formatPosition(problem));
    rig.solveAndWait();
    ASSERT_EQ(rig.dialog.mode(), UiMode::solved);
}

// The shown board, once nothing slides, is the problem with the first
// `position` moves of the solution played.
void expectBoardAtPosition(const DialogRig& rig) {
    const SolveResult& solve = rig.dialog.lastSolve();
    const std::vector<int32_t> played(solve.moves.begin(),
                                      solve.moves.begin() + rig.dialog.playback().position);
    EXPECT_EQ(rig.dialog.view().board, *testing::replay(solve.problem, played));
}

TEST(Paste, AValidPositionReplacesTheBoardAndAnInvalidOneChangesNothing) {
    DialogRig rig;
    rig.makeReady();
    std::mt19937 rng(7);
    const Board board = randomBoard(rng);
    // Rows by line breaks, commas, a comment: read as the command line reads them.
    std::string text = "  ";
    for (int cell = 0; cell < 16; ++cell) {
        text += std::to_string(board[static_cast<size_t>(cell)]) + (cell % 4 == 3 ? "\n" : ",");
    }
    paste(rig, text + "# from a web page\n");
    EXPECT_EQ(rig.dialog.view().board, board);
    EXPECT_EQ(rig.host.controlText(idStatus), pastedStatus);
    EXPECT_FALSE(rig.host.isControlEnabled(idTrace));

    rig.host.dropText("1 2 3 x");
    EXPECT_EQ(rig.dialog.view().board, board);
    EXPECT_EQ(rig.host.controlText(idStatus).rfind(" Paste: 'x' is not a number", 0), 0u);
    paste(rig, "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 15 15 15 15 15 15 15 15");
    EXPECT_LE(rig.host.controlText(idStatus).size(), 44u);
    EXPECT_EQ(rig.dialog.view().board, board);
}

// The menu's toggle: paste and drop then read a position written for 0 1 2 ... 15
// and show it turned onto the board's own goal.
TEST(Paste, TheBlankFirstToggleTurnsWhatPasteAndDropRead) {
    DialogRig rig;
    rig.makeReady();
    const auto toggle = static_cast<size_t>(Action::pasteBlankFirst);
    const auto toggleShown = [&] {
        rig.host.menuChoice = -1;
        rig.host.rightClick(rig.cellCentre(0));
        return rig.host.lastMenu.at(toggle).checkable && rig.host.lastMenu.at(toggle).checked;
    };
    const auto flip = [&] {
        rig.host.menuChoice = static_cast<int>(toggle);
        rig.host.rightClick(rig.cellCentre(0));
    };
    EXPECT_FALSE(toggleShown());
    flip();
    EXPECT_TRUE(toggleShown());
    std::mt19937 rng(20);
    const Board board = randomBoard(rng);
    paste(rig, formatPosition(board));
    EXPECT_EQ(rig.dialog.view().board, turnedBoard(board));
    EXPECT_EQ(rig.host.controlText(idStatus), pastedBlankFirstStatus);
    rig.host.dropText(formatPosition(blankFirstGoalBoard));
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
    flip();
    EXPECT_FALSE(toggleShown());
    paste(rig, formatPosition(board));
    EXPECT_EQ(rig.dialog.view().board, board);
    EXPECT_EQ(rig.host.controlText(idStatus), pastedStatus);
}

TEST(Paste, AnUnsolvablePositionIsAcceptedAndSolveExplainsIt) {
    DialogRig rig;
    rig.makeReady();
    paste(rig, "1 2 3 4 / 5 6 7 8 / 9 10 11 12 / 13 15 14 0");
    rig.solveAndWait();
    const std::string report = rig.host.controlText(idOutput);
    EXPECT_NE(report.find(std::string("UnSolvable.\r\n") + unsolvableHint), std::string::npos);
}

TEST(Paste, IsRefusedWhileASolveOrAPlaybackRuns) {
    DialogRig rig;
    rig.makeReady();
    rig.services.job = rig.services.untilCancelled();
    rig.host.click(idSolve);
    const Board before = rig.dialog.view().board;
    paste(rig, "0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15");
    EXPECT_EQ(rig.dialog.view().board, before);
    EXPECT_EQ(rig.dialog.mode(), UiMode::solving);
    rig.host.click(idCancel);
    rig.host.pumpUntil([&] { return rig.dialog.mode() != UiMode::solving; });

    rig.services.job = testing::oracleSolve;
    rig.backwardClicks({14, 13});
    rig.solveAndWait();
    rig.host.click(idTrace);
    rig.host.fireTimer(timerMain);
    const Board tracing = rig.dialog.view().board;
    paste(rig, "0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15");
    EXPECT_EQ(rig.dialog.view().board, tracing);
    EXPECT_EQ(rig.dialog.mode(), UiMode::tracing);
}

TEST(Copy, PositionRoundTripsThroughPasteOnRandomBoards) {
    DialogRig rig;
    rig.makeReady();
    std::mt19937 rng(11);
    for (int round = 0; round < 20; ++round) {
        rig.host.click(idDirectDrag);
        const Board target = randomBoard(rng);
        testing::arrangeByDrags(rig.host, rig.dialog, target);
        rig.host.key(Key::copy);
        rig.host.click(idShuffle);
        paste(rig, rig.host.clipboard);
        ASSERT_EQ(rig.dialog.view().board, target) << rig.host.clipboard;
    }
}

TEST(Copy, SolutionReplaysToTheGoalFromTheCopiedPosition) {
    DialogRig rig;
    std::mt19937 rng(3);
    solvedRig(rig, test_support::randomWalkFromGoal(rng, 12));  // within the oracle's reach
    rig.host.menuChoice = static_cast<int>(Action::copyPosition);
    rig.host.rightClick(rig.cellCentre(5));
    const ParsedPosition start = parsePosition(rig.host.clipboard);
    ASSERT_TRUE(start.ok);
    rig.host.menuChoice = static_cast<int>(Action::copySolution);
    rig.host.rightClick(rig.cellCentre(5));
    const std::string copied = rig.host.clipboard;
    const std::string tiles = copied.substr(0, copied.find('\n'));
    const std::string letters = copied.substr(tiles.size() + 1, copied.size() - tiles.size() - 2);
    EXPECT_EQ(testing::replay(start.board, numbers(tiles)), goalBoard);
    // The letters alone drive the same replay: each names the way a tile slides.
    Board b = start.board;
    ASSERT_EQ(letters.size(), numbers(tiles).size());
    for (const char c : letters) {
        int blank = 0;
        while (b[static_cast<size_t>(blank)] != 0) ++blank;
        const int from = blank + (c == 'U' ? 4 : c == 'D' ? -4 : c == 'L' ? 1 : -1);
        ASSERT_TRUE(from >= 0 && from < 16) << letters;
        applyMove(b, blank, from);
    }
    EXPECT_EQ(b, goalBoard);
}

TEST(Stepping, AnyMixOfStepsAndTraceKeepsTheBoardOnTheSolution) {
    DialogRig rig;
    std::mt19937 rng(5);
    const Board problem = test_support::randomWalkFromGoal(rng, 12);
    solvedRig(rig, problem);
    const int32_t length = rig.dialog.lastSolve().length;
    ASSERT_GT(length, 1);
    rig.host.key(Key::end);
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
    EXPECT_EQ(rig.host.controlText(idStatus), movesText(length, length));
    rig.host.key(Key::home);
    EXPECT_EQ(rig.dialog.view().board, problem);
    for (int i = 0; i < 200; ++i) {
        switch (rng() % 7) {
            case 0:
                rig.host.key(Key::right);  // slides; the next key lands it first
                break;
            case 1:
                rig.host.key(Key::left);
                break;
            case 2:
                rig.host.key(Key::right, true);
                break;
            case 3:
                rig.host.key(Key::left, true);
                break;
            case 4:
                rig.host.advance(20);
                break;
            case 5:
                rig.host.key(rng() % 2 ? Key::home : Key::end);
                break;
            default:
                if (rig.host.click(idTrace)) {
                    for (int t = 0; t < 12; ++t) rig.host.fireTimer(timerMain);
                    rig.host.click(idCancel);
                    rig.host.fireTimer(timerMain);
                }
                break;
        }
        if (!rig.dialog.stepping() && rig.dialog.mode() == UiMode::solved) {
            ASSERT_NO_FATAL_FAILURE(expectBoardAtPosition(rig));
        }
    }
    rig.host.advance(200);  // any slide lands
    expectBoardAtPosition(rig);
    rig.host.click(idTrace);
    rig.host.advance(100000);
    EXPECT_EQ(rig.dialog.view().board, problem);
    for (int32_t i = 0; i < length; ++i) rig.host.key(Key::right, true);
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
    for (int32_t i = 0; i < length; ++i) rig.host.key(Key::left, true);
    EXPECT_EQ(rig.dialog.view().board, problem);
}

TEST(Stepping, SpeedChangesTheSlideAndIsShownBriefly) {
    DialogRig rig;
    solvedRig(rig, test_support::randomWalkFromGoal(*std::make_unique<std::mt19937>(9), 10));
    const std::string before = rig.host.controlText(idStatus);
    // A second press while the note shows: the line from before the first comes back.
    rig.host.key(Key::slower);
    rig.host.key(Key::faster);
    rig.host.advance(speedNoteMs);
    EXPECT_EQ(rig.host.controlText(idStatus), before);
    rig.host.key(Key::faster);
    EXPECT_EQ(rig.host.controlText(idStatus), " Speed: 2x");
    rig.host.advance(speedNoteMs);
    EXPECT_EQ(rig.host.controlText(idStatus), before);
    rig.host.click(idTrace);
    EXPECT_EQ(rig.host.timerPeriod(timerMain), playbackSpeeds.back().periodMs);
    for (int i = 0; i < 5; ++i) rig.host.key(Key::slower);
    EXPECT_EQ(rig.host.timerPeriod(timerMain), playbackSpeeds.front().periodMs);
}

TEST(Keyboard, ArrowKeysInBackwardModeEqualTheSameClicks) {
    DialogRig keys, clicks;
    keys.host.click(idBackward);
    clicks.host.click(idBackward);
    std::mt19937 rng(13);
    const Key arrows[] = {Key::left, Key::right, Key::up, Key::down};
    const int dColumn[] = {-1, 1, 0, 0};
    const int dRow[] = {0, 0, -1, 1};
    for (int i = 0; i < 300; ++i) {
        const unsigned k = rng() % 4;
        const Board& b = clicks.dialog.view().board;
        int blank = 0;
        while (b[static_cast<size_t>(blank)] != 0) ++blank;
        const int column = blank % 4 - dColumn[k], row = blank / 4 - dRow[k];
        if (column >= 0 && column < 4 && row >= 0 && row < 4) clicks.clickCell(column + 4 * row);
        EXPECT_TRUE(keys.host.key(arrows[k]));
        ASSERT_EQ(keys.dialog.view().board, clicks.dialog.view().board);
        ASSERT_EQ(keys.dialog.view().backwardCount, clicks.dialog.view().backwardCount);
        ASSERT_EQ(keys.host.controlText(idStatus), clicks.host.controlText(idStatus));
    }
    EXPECT_GT(keys.dialog.view().backwardCount, 100);
}

// A tile lifted in DirectDrag, then something else happens before the release.
struct HeldTileCase {
    const char* name;
    int control;  // 0: a key instead
    Key key;
};
void PrintTo(const HeldTileCase& c, std::ostream* out) {
    *out << c.name;
}

class HeldTile : public ::testing::TestWithParam<HeldTileCase> {};

TEST_P(HeldTile, GoesBackToItsCellBeforeAnyCommandOrKey) {
    DialogRig rig;
    rig.makeReady();
    rig.host.click(idDirectDrag);
    paste(rig, "5 1 2 3 4 6 7 8 9 10 11 12 13 14 15 0");
    const Board before = rig.dialog.view().board;
    rig.host.mouse(MouseEvent::leftDown, rig.cellCentre(1));
    rig.host.mouse(MouseEvent::move, rig.cellCentre(10));
    ASSERT_NE(rig.dialog.view().motion.tile, 0);
    rig.host.menuChoice = static_cast<int>(Action::copyPosition);
    if (GetParam().control != 0) {
        rig.host.click(GetParam().control);
    } else {
        rig.host.key(GetParam().key);
    }
    EXPECT_EQ(rig.dialog.view().motion.tile, 0) << "the tile is down again";
    EXPECT_TRUE(isValidBoard(rig.dialog.view().settledBoard()));
    if (GetParam().control == idSolve) {
        rig.host.pumpUntil([&] { return rig.dialog.mode() != UiMode::solving; });
        EXPECT_EQ(rig.dialog.lastSolve().problem, before) << "the solver got the whole board";
        EXPECT_NE(rig.host.controlText(idStatus), "Invalid");
    }
    if (GetParam().control == 0 || GetParam().control == idDirectDrag) {
        EXPECT_EQ(rig.dialog.view().board, before);
    }
    // The release that follows drops nothing.
    const Board shown = rig.dialog.view().board;
    rig.host.mouse(MouseEvent::leftUp, rig.cellCentre(10));
    EXPECT_EQ(rig.dialog.view().board, shown);
    if (GetParam().control == idSolve) {
        EXPECT_EQ(shown, rig.dialog.lastSolve().problem);
    }
}

const HeldTileCase heldTileCases[] = {
    {"Shuffle", idShuffle, Key::left},
    {"Backward", idBackward, Key::left},
    {"DirectDrag", idDirectDrag, Key::left},
    {"Reset", idReset, Key::left},
    {"Solve", idSolve, Key::left},
    {"Escape", 0, Key::escape},
    {"Copy", 0, Key::copy},
    {"Paste", 0, Key::paste},
    {"Left", 0, Key::left},
    {"Home", 0, Key::home},
    {"Faster", 0, Key::faster},
    {"Menu", 0, Key::menu},
};
INSTANTIATE_TEST_SUITE_P(CommandsAndKeys, HeldTile, ::testing::ValuesIn(heldTileCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// Escape is always the board's, so the window system never closes the dialog on it.
TEST(Keyboard, EscapePutsAHeldTileBackAndOtherwiseDoesNothing) {
    DialogRig rig;
    rig.host.click(idDirectDrag);
    EXPECT_TRUE(rig.host.key(Key::escape));
    EXPECT_EQ(rig.dialog.mode(), UiMode::directDrag);
    rig.host.mouse(MouseEvent::leftDown, rig.cellCentre(0));
    EXPECT_TRUE(rig.host.key(Key::escape));
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
    EXPECT_EQ(rig.dialog.view().motion.tile, 0);
    EXPECT_FALSE(rig.host.endResult.has_value());
}

TEST(Focus, MovesToCancelWhileAJobRunsAndReturnsAfterwards) {
    DialogRig rig;
    rig.makeReady();
    rig.host.focus = idShuffle;
    rig.host.mouse(MouseEvent::leftDown, rig.cellCentre(3));  // idle: focus only
    EXPECT_EQ(rig.host.focus, focusBoard);
    rig.services.job = rig.services.untilCancelled();
    rig.host.focus = idSolve;  // Space on Solve
    rig.host.click(idSolve);
    EXPECT_EQ(rig.host.focus, idCancel);
    rig.host.click(idCancel);
    rig.host.pumpUntil([&] { return rig.dialog.mode() != UiMode::solving; });
    EXPECT_EQ(rig.host.focus, idSolve);
}

// Escape stops a solve as Cancel does, and the focus, back from Cancel, is where
// it was; a click on the board meanwhile leaves it on Cancel.
TEST(Focus, EscapeStopsASolveAsCancelDoes) {
    for (const bool escape : {false, true}) {
        DialogRig rig;
        rig.makeReady();
        rig.services.job = rig.services.untilCancelled();
        rig.host.focus = idSolve;
        rig.host.click(idSolve);
        rig.host.mouse(MouseEvent::leftDown, rig.cellCentre(3));
        EXPECT_EQ(rig.host.focus, idCancel);
        if (escape) {
            EXPECT_TRUE(rig.host.key(Key::escape));
        } else {
            rig.host.click(idCancel);
        }
        EXPECT_TRUE(rig.host.pumpUntil([&] { return rig.dialog.mode() != UiMode::solving; }));
        EXPECT_EQ(rig.dialog.lastSolve().status, solveCancelled);
        EXPECT_EQ(rig.host.focus, idSolve);
        EXPECT_EQ(rig.buttons(), "SBDRX--");
    }
}

TEST(Focus, EscapeInTheOutputBoxGivesTheKeysBackToTheBoard) {
    DialogRig rig;
    rig.host.focus = idOutput;
    EXPECT_TRUE(rig.host.key(Key::escape));
    EXPECT_EQ(rig.host.focus, focusBoard);
    rig.host.focus = idOutput;
    rig.host.mouse(MouseEvent::leftDown, rig.cellCentre(0));
    EXPECT_EQ(rig.host.focus, focusBoard);
}

TEST(ContextMenu, OffersOnlyWhatApplies) {
    DialogRig rig;
    rig.host.rightClick(rig.cellCentre(0));
    ASSERT_EQ(rig.host.menuCount, 1);
    std::string enabled;
    for (const MenuItem& item : rig.host.lastMenu) enabled += item.enabled ? '1' : '0';
    // Paste (both), copy, faster, slower, the marks' toggle and about only: nothing
    // to undo or redo yet, checking moves waits for the tables, and there are no
    // stronger tables without a source.
    EXPECT_EQ(enabled, "0011100000111001");
    rig.host.menuChoice = static_cast<int>(Action::stepForward);
    rig.host.rightClick(rig.cellCentre(0));
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
}

TEST(StartUp, TheOutputBoxTicksOffEachTable) {
    DialogRig rig;
    EXPECT_EQ(rig.host.controlText(idOutput).find("[x]"), std::string::npos);
    rig.host.message(msgWdTableReady);
    const std::string one = rig.host.controlText(idOutput);
    EXPECT_NE(one.find("[x] walking-distance table"), std::string::npos);
    EXPECT_NE(one.find("[ ] pattern database A"), std::string::npos);
    rig.host.message(msgPatternDbAReady);
    rig.host.message(msgPatternDbBReady);
    EXPECT_EQ(rig.host.controlText(idOutput), "");
}

TEST(Progress, ALineUnderTheProblemUntilTheReportReplacesIt) {
    DialogRig rig;
    rig.makeReady();
    rig.services.job = [&](const Board&, SolveOutput& output) {
        output.setOutputText("problem\r\n");
        output.searchStarted();
        rig.services.progressBound.store(58);
        rig.services.progressNodes.store(1'234'567'890);
        while (!rig.services.cancelRequested.load()) std::this_thread::yield();
        output.searchEnded(solveCancelled);
        output.setOutputText("problem\r\nCancel.");
        SolveResult cancelled;
        cancelled.status = solveCancelled;
        output.solveFinished(cancelled);
    };
    rig.host.click(idSolve);
    rig.host.pumpUntil([&] { return rig.services.progressBound.load() == 58; });
    rig.host.advance(progressPeriodMs);
    EXPECT_EQ(rig.host.controlText(idOutput).rfind(
                  "problem\r\nSearching: bound 58,\r\n 1.2 G nodes, ", 0),
              0u);
    rig.host.click(idCancel);
    rig.host.pumpUntil([&] { return rig.dialog.mode() != UiMode::solving; });
    rig.host.advance(progressPeriodMs);
    EXPECT_EQ(rig.host.controlText(idOutput), "problem\r\nCancel.");
}

}  // namespace
}  // namespace fifteen::ui
