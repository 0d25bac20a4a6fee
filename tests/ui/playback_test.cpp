#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/ui_test_support.h"
#include "ui/playback.h"

namespace fifteen::ui {
namespace {

using testing::artworkPixel;
using testing::DialogRig;
using testing::HeadlessPlatform;

struct DirectionCase {
    const char* name;
    int source;
    int blank;
    int dx;
    int dy;
    SlideDirection direction;
};

const DirectionCase directionCases[] = {
    {"up", 4, 0, 0, -8, SlideDirection::up},
    {"right", 0, 1, 8, 0, SlideDirection::right},
    {"down", 0, 4, 0, 8, SlideDirection::down},
    {"left", 1, 0, -8, 0, SlideDirection::left},
};

class PlaybackDirection : public ::testing::TestWithParam<DirectionCase> {};

// One move takes nine ticks: a start of 8 pixels, seven steps of 8 pixels to the
// destination's centre, and the landing; the tenth tick finds nothing left.
TEST_P(PlaybackDirection, StartsMovesSevenStepsAndLands) {
    const DirectionCase& c = GetParam();
    HeadlessPlatform host;
    StatusLine status(host);
    BoardView view(host, status);
    view.createSurfaces();
    Board board = goalBoard;
    std::swap(board[15], board[static_cast<size_t>(c.blank)]);
    const int32_t tile = board[static_cast<size_t>(c.source)];
    view.board = board;
    Playback playback(view, status);
    const int32_t solution[] = {tile};

    const int startX = 64 * (c.source % 4) + 32;
    const int startY = 64 * (c.source / 4) + 32;
    for (int t = 1; t <= 8; ++t) {
        ASSERT_EQ(playback.tick(solution, 1), Playback::Tick::moved) << "tick " << t;
        EXPECT_EQ(view.motion.tile, tile);
        EXPECT_EQ(view.motion.cell, c.blank);
        EXPECT_EQ(playback.direction, c.direction);
        EXPECT_EQ(view.motion.x, startX + t * c.dx) << "tick " << t;
        EXPECT_EQ(view.motion.y, startY + t * c.dy) << "tick " << t;
        EXPECT_EQ(view.board[static_cast<size_t>(c.source)], 0);
        EXPECT_EQ(host.shown.at(view.motion.x, view.motion.y), artworkPixel(tile, 32, 32));
    }
    EXPECT_EQ(view.motion.x, 64 * (c.blank % 4) + 32);
    EXPECT_EQ(view.motion.y, 64 * (c.blank / 4) + 32);
    EXPECT_EQ(playback.position, 1);
    ASSERT_EQ(playback.tick(solution, 1), Playback::Tick::moved);
    EXPECT_EQ(view.motion.tile, 0);
    EXPECT_EQ(playback.direction, SlideDirection::none);
    Board expected = board;
    applyMove(expected, c.blank, c.source);
    EXPECT_EQ(view.board, expected);
    EXPECT_EQ(host.controlText(idStatus), "  1 /  1 moves");
    EXPECT_EQ(playback.tick(solution, 1), Playback::Tick::finished);
}

INSTANTIATE_TEST_SUITE_P(FourDirections, PlaybackDirection, ::testing::ValuesIn(directionCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(MovesText, FormatsTwoDigitFields) {
    EXPECT_EQ(movesText(0, 1), "  0 /  1 moves");
    EXPECT_EQ(movesText(12, 48), " 12 / 48 moves");
    EXPECT_EQ(movesText(80, 80), " 80 / 80 moves");
}

std::vector<int32_t> solutionOf(const MainDialog& dialog) {
    const SolveResult& solve = dialog.lastSolve();
    return std::vector<int32_t>(solve.moves.begin(), solve.moves.begin() + solve.length);
}

std::vector<int32_t> prefix(const std::vector<int32_t>& v, size_t n) {
    return std::vector<int32_t>(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(n));
}

// A position a few moves from the goal, solved by the oracle, in mode 4.
struct SolvedRig : DialogRig {
    explicit SolvedRig(const std::vector<int>& backwardCells) {
        makeReady();
        backwardClicks(backwardCells);
        problem = dialog.view().board;
        solveAndWait();
        solution = solutionOf(dialog);
    }
    // Ticks until the playback finishes and starts its pause; returns the count.
    int ticksUntilPause(int limit = 1000) {
        int ticks = 0;
        while (!dialog.pausing() && ticks < limit && host.fireTimer(timerMain)) ++ticks;
        return ticks;
    }
    Board problem{};
    std::vector<int32_t> solution;
};

TEST(Playback, OneMoveTakesNineTicksThenPausesAndRestores) {
    SolvedRig rig({14});
    ASSERT_EQ(rig.solution, std::vector<int32_t>{15});
    ASSERT_TRUE(rig.host.click(idTrace));
    EXPECT_EQ(rig.dialog.mode(), UiMode::tracing);
    EXPECT_EQ(rig.host.timerPeriod(timerMain), 10);
    for (int t = 1; t <= 8; ++t) {
        rig.host.advance(10);
        EXPECT_EQ(rig.dialog.view().motion.tile, 15) << "tick " << t;
    }
    rig.host.advance(10);
    EXPECT_EQ(rig.dialog.view().motion.tile, 0);
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
    EXPECT_EQ(rig.host.controlText(idStatus), "  1 /  1 moves");
    rig.host.advance(10);
    EXPECT_TRUE(rig.dialog.pausing());
    EXPECT_EQ(rig.host.timerPeriod(timerMain), 0);
    EXPECT_EQ(rig.dialog.mode(), UiMode::tracing);
    // The pause does not hold the dialog: it still answers paint and Cancel.
    rig.host.paint();
    rig.host.advance(1499);
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
    rig.host.advance(1);
    EXPECT_FALSE(rig.dialog.pausing());
    EXPECT_EQ(rig.host.timerPeriod(timerPause), 0);
    EXPECT_EQ(rig.dialog.view().board, rig.problem);
    EXPECT_EQ(rig.dialog.mode(), UiMode::solved);
    EXPECT_EQ(rig.dialog.playback().position, 0);
    EXPECT_EQ(rig.host.controlText(idStatus), "  0 /  1 moves");
    EXPECT_EQ(rig.buttons(), "SBDRX-T");
}

// Each landing leaves the board at the replay of the moves so far.
TEST(Playback, EveryLandingMatchesTheReplayOfTheSolution) {
    SolvedRig rig({14, 10, 9, 5, 6, 7, 11});
    const size_t length = rig.solution.size();
    ASSERT_GE(length, 5u);
    ASSERT_EQ(testing::replay(rig.problem, rig.solution), goalBoard);
    rig.host.click(idTrace);
    for (size_t move = 1; move <= length; ++move) {
        for (int t = 0; t < 9; ++t) ASSERT_TRUE(rig.host.fireTimer(timerMain));
        EXPECT_EQ(rig.dialog.view().motion.tile, 0);
        EXPECT_EQ(rig.dialog.view().board, testing::replay(rig.problem, prefix(rig.solution, move)))
            << "after move " << move;
        EXPECT_EQ(rig.host.controlText(idStatus),
                  movesText(static_cast<int32_t>(move), static_cast<int32_t>(length)));
        EXPECT_FALSE(rig.dialog.pausing());
    }
    EXPECT_EQ(rig.ticksUntilPause(), 1);
    rig.host.advance(pauseMs);
    EXPECT_EQ(rig.dialog.view().board, rig.problem);
}

TEST(Playback, CancelMidMotionPlacesTheTileAndTraceResumes) {
    SolvedRig rig({14, 10, 9, 5});
    const auto length = static_cast<int32_t>(rig.solution.size());
    ASSERT_GE(length, 3);
    rig.host.click(idTrace);
    for (int t = 0; t < 13; ++t) rig.host.fireTimer(timerMain);  // move 2 under way
    ASSERT_NE(rig.dialog.view().motion.tile, 0);
    ASSERT_TRUE(rig.host.click(idCancel));
    EXPECT_EQ(rig.dialog.mode(), UiMode::tracing);  // stops at the next tick
    rig.host.fireTimer(timerMain);
    EXPECT_EQ(rig.dialog.mode(), UiMode::solved);
    EXPECT_EQ(rig.host.timerPeriod(timerMain), 0);
    EXPECT_EQ(rig.dialog.view().motion.tile, 0);
    EXPECT_EQ(rig.dialog.view().board, testing::replay(rig.problem, prefix(rig.solution, 2)));
    EXPECT_EQ(rig.host.controlText(idStatus), movesText(2, length));
    EXPECT_EQ(rig.dialog.playback().position, 2);
    EXPECT_EQ(rig.buttons(), "SBDRX-T");
    // Trace continues from the kept position.
    ASSERT_TRUE(rig.host.click(idTrace));
    EXPECT_EQ(rig.ticksUntilPause(), 9 * (length - 2) + 1);
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
    rig.host.advance(pauseMs);
    EXPECT_EQ(rig.dialog.view().board, rig.problem);
    EXPECT_EQ(rig.host.controlText(idStatus), movesText(0, length));
}

// Cancel and Escape stop a playback alike, in its moves and in its end pause
// (there on the goal), and the window answers meanwhile.
class StopPlayback : public ::testing::TestWithParam<bool> {
  protected:
    void stop(SolvedRig& rig) {
        if (GetParam()) {
            EXPECT_TRUE(rig.host.key(Key::escape));
        } else {
            EXPECT_TRUE(rig.host.click(idCancel));
        }
    }
};

TEST_P(StopPlayback, DuringThePauseStopsOnTheGoal) {
    SolvedRig rig({14, 10});
    const auto length = static_cast<int32_t>(rig.solution.size());
    rig.host.click(idTrace);
    EXPECT_EQ(rig.ticksUntilPause(), 9 * length + 1);
    rig.host.paint();
    stop(rig);
    EXPECT_FALSE(rig.dialog.pausing());
    EXPECT_EQ(rig.dialog.mode(), UiMode::solved);
    EXPECT_EQ(rig.host.timerPeriod(timerPause), 0);
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
    EXPECT_EQ(rig.dialog.playback().position, length);
    EXPECT_EQ(rig.buttons(), "SBDRX-T");
    rig.host.advance(pauseMs);
    EXPECT_EQ(rig.dialog.view().board, goalBoard) << "the pause's end does not come later";
    // Trace from the last step plays the whole solution again.
    rig.host.click(idTrace);
    EXPECT_EQ(rig.ticksUntilPause(), 9 * length + 1);
}

TEST_P(StopPlayback, MidMotionPlacesTheTile) {
    SolvedRig rig({14, 10, 9, 5});
    rig.host.click(idTrace);
    for (int t = 0; t < 13; ++t) rig.host.fireTimer(timerMain);
    stop(rig);
    rig.host.fireTimer(timerMain);
    EXPECT_EQ(rig.dialog.mode(), UiMode::solved);
    EXPECT_EQ(rig.dialog.view().board, testing::replay(rig.problem, prefix(rig.solution, 2)));
}

INSTANTIATE_TEST_SUITE_P(CancelAndEscape, StopPlayback, ::testing::Bool(),
                         [](const auto& testCase) { return testCase.param ? "Escape" : "Cancel"; });

TEST(Playback, TraceAtTheLastStepRestartsFromTheFirstMove) {
    SolvedRig rig({14, 10, 9});
    const auto length = static_cast<int32_t>(rig.solution.size());
    rig.host.key(Key::end);
    ASSERT_EQ(rig.dialog.playback().position, length);
    rig.host.click(idTrace);
    EXPECT_EQ(rig.dialog.view().board, rig.problem);
    EXPECT_EQ(rig.ticksUntilPause(), 9 * length + 1);
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
}

TEST(Reset, AfterAStoppedPlaybackRestoresTheProblemThenTheGoal) {
    SolvedRig rig({14, 10, 9});
    const auto length = static_cast<int32_t>(rig.solution.size());
    rig.host.click(idTrace);
    for (int t = 0; t < 12; ++t) rig.host.fireTimer(timerMain);
    rig.host.click(idCancel);
    rig.host.fireTimer(timerMain);
    ASSERT_EQ(rig.dialog.mode(), UiMode::solved);
    ASSERT_NE(rig.dialog.view().board, rig.problem);

    ASSERT_TRUE(rig.host.click(idReset));
    EXPECT_EQ(rig.dialog.view().board, rig.problem);
    EXPECT_EQ(rig.dialog.playback().position, 0);
    EXPECT_EQ(rig.dialog.mode(), UiMode::solved);
    EXPECT_EQ(rig.host.controlText(idStatus), movesText(0, length));
    EXPECT_EQ(rig.buttons(), "SBDRX-T");

    ASSERT_TRUE(rig.host.click(idReset));
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
    EXPECT_EQ(rig.dialog.mode(), UiMode::idle);
    EXPECT_EQ(rig.host.controlText(idStatus), "");
    EXPECT_EQ(rig.host.controlText(idSeconds), "0 sec");
    EXPECT_EQ(rig.buttons(), "SBDRX--");
}

}  // namespace
}  // namespace fifteen::ui
