// Show optimal moves and Check my moves on the headless host, over the
// breadth-first oracle: the marks always belong to the board shown, and the
// checked moves replay as a solution beside a plot of their distances.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "tests/ui/ui_test_support.h"
#include "ui/move_marks.h"

namespace fifteen::ui::testing {
namespace {

int32_t distanceOf(const Board& board) {
    return static_cast<int32_t>(shortestSolution(board, 14)->size());
}

// Every movable tile marked optimal when its move brings the goal one nearer;
// nothing on the goal itself.
BoardMarks oracleMarks(const Board& board) {
    BoardMarks marks;
    const int32_t length = distanceOf(board);
    if (length == 0) return marks;
    const int blank = static_cast<int>(std::find(board.begin(), board.end(), 0) - board.begin());
    for (int cell = 0; cell < 16; ++cell) {
        const bool next =
            (cell / 4 == blank / 4 && std::abs(cell - blank) == 1) || std::abs(cell - blank) == 4;
        if (!next) continue;
        Board after = board;
        std::swap(after[static_cast<size_t>(cell)], after[static_cast<size_t>(blank)]);
        marks.cells[static_cast<size_t>(cell)] =
            distanceOf(after) == length - 1 ? TileMark::optimal : TileMark::costly;
    }
    return marks;
}

bool marksShownFor(DialogRig& rig) {
    const Board board = rig.dialog.view().board;
    const std::string line = "; " + std::to_string(distanceOf(board)) + " moves to go\r\n";
    const std::string text = rig.host.controlText(idOutput);
    return rig.host.marks == oracleMarks(board) && rig.host.marks == rig.dialog.marks() &&
           text.size() > line.size() &&
           text.compare(text.size() - line.size(), line.size(), line) == 0;
}

constexpr Key arrows[] = {Key::left, Key::right, Key::up, Key::down};

TEST(ShowOptimalMoves, MarksFollowEveryMoveAndAStaleAnalysisIsNeverShown) {
    DialogRig rig;
    rig.makeReady();
    rig.host.click(idBackward);
    EXPECT_FALSE(rig.dialog.marksOn());
    rig.host.key(Key::optimalMoves);
    ASSERT_TRUE(rig.dialog.marksOn());
    ASSERT_TRUE(rig.host.pumpUntil([&] { return marksShownFor(rig); }));
    std::mt19937 random(5);
    for (int i = 0; i < 40; ++i) {
        // Analyses held back (some deaf to Cancel) while the board moves on under them.
        rig.services.analysisGate = i % 4 == 3;
        rig.services.ignoreCancel = i % 3 == 0;
        rig.host.key(arrows[random() % 4]);
        if (rig.dialog.view().board == goalBoard) continue;
        for (int p = 0; p < 3; ++p) {
            rig.host.pump();
            // Whatever is marked is the analysis of the board shown now.
            if (rig.host.marks.any()) {
                ASSERT_EQ(rig.host.marks, oracleMarks(rig.dialog.view().board)) << i;
            }
        }
        // Now and then the analysis is let through to the end.
        if (i % 5 == 0 && rig.services.analysisGate) {
            ASSERT_TRUE(rig.host.pumpUntil([&] { return marksShownFor(rig); })) << i;
        }
    }
    rig.services.analysisGate = true;
    ASSERT_TRUE(rig.host.pumpUntil([&] { return marksShownFor(rig); }));

    // The goal: nothing marked, nothing to go.
    rig.host.click(idReset);
    ASSERT_TRUE(rig.host.pumpUntil([&] {
        return rig.host.controlText(idOutput).find("Optimal moves: none; 0 moves to go") !=
               std::string::npos;
    }));
    EXPECT_FALSE(rig.host.marks.any());
}

TEST(ShowOptimalMoves, OffByDefaultWaitsForTheTablesAndGivesWayToASolve) {
    DialogRig rig;
    rig.backwardClicks({14, 10, 9});
    const auto menu = rig.dialog.menuItems();
    const MenuItem& item = menu[static_cast<size_t>(Action::showOptimalMoves)];
    EXPECT_TRUE(item.checkable);
    EXPECT_FALSE(item.checked);
    rig.host.pump();
    EXPECT_EQ(rig.services.analysesStarted.load(), 0);
    EXPECT_EQ(rig.host.marksCount, 0);

    rig.dialog.runAction(Action::showOptimalMoves);
    rig.host.pump();
    EXPECT_EQ(rig.services.analysesStarted.load(), 0);  // the tables are not ready
    rig.makeReady();
    ASSERT_TRUE(rig.host.pumpUntil([&] { return marksShownFor(rig); }));

    // A solve takes the marks away; they come back for the board it leaves.
    rig.services.job = rig.services.untilCancelled();
    rig.host.click(idSolve);
    EXPECT_FALSE(rig.host.marks.any());
    const int started = rig.services.analysesStarted.load();
    rig.host.click(idCancel);
    ASSERT_TRUE(rig.host.pumpUntil([&] { return rig.dialog.mode() == UiMode::solved; }));
    ASSERT_TRUE(rig.host.pumpUntil([&] { return marksShownFor(rig); }));
    EXPECT_EQ(rig.services.analysesStarted.load(), started + 1);

    // Off again: the marks and their line go, and nothing more is analysed.
    rig.host.key(Key::optimalMoves);
    EXPECT_FALSE(rig.host.marks.any());
    EXPECT_EQ(rig.host.controlText(idOutput).find("Optimal moves"), std::string::npos);
    rig.host.click(idBackward);
    rig.clickCell(14);
    rig.host.pump();
    EXPECT_EQ(rig.services.analysesStarted.load(), started + 1);
}

TEST(CheckMyMoves, AnIllegalMoveIsReportedWithItsNumberAndNothingIsChecked) {
    DialogRig rig;
    rig.makeReady();
    rig.backwardClicks({14, 10});  // blank in cell 10
    const Board before = rig.dialog.view().board;
    rig.host.clipboard = "14 15 3";
    rig.host.textAnswer = "10 14 7";  // 10 back, 14 back, then 7 is nowhere near
    rig.dialog.runAction(Action::checkMyMoves);
    EXPECT_EQ(rig.host.textOffered, "14 15 3");
    const std::string status = rig.host.controlText(idStatus);
    EXPECT_NE(status.find("move 3 (7) is not a legal move there"), std::string::npos) << status;
    rig.host.pump();
    EXPECT_EQ(rig.services.reviewsStarted.load(), 0);
    EXPECT_EQ(rig.dialog.view().board, before);
    EXPECT_FALSE(rig.host.plot.has_value());
}

TEST(CheckMyMoves, TheMovesReplayAsASolutionBesideTheirPlot) {
    std::mt19937 random(9);
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        DialogRig rig;
        rig.makeReady();
        rig.host.click(idBackward);
        for (int i = 0; i < 5; ++i) rig.host.key(arrows[random() % 4]);
        const Board start = rig.dialog.view().board;
        std::vector<int32_t> moves;
        Board walked = start;
        std::string text;
        for (int m = 0; m < 3 + round; ++m) {
            // Mostly towards the goal, now and then a wasted move.
            const auto best = shortestSolution(walked, 14);
            int32_t tile = best->empty() || random() % 3 == 0 ? 0 : best->front();
            if (tile == 0) {
                const int blank =
                    static_cast<int>(std::find(walked.begin(), walked.end(), 0) - walked.begin());
                const int cell = blank % 4 > 0 ? blank - 1 : blank + 1;
                tile = walked[static_cast<size_t>(cell)];
            }
            moves.push_back(tile);
            walked = *replay(walked, std::vector<int32_t>{tile});
            text += std::to_string(tile) + " ";
        }
        rig.host.textAnswer = text;
        rig.dialog.runAction(Action::checkMyMoves);
        ASSERT_TRUE(rig.host.pumpUntil([&] { return rig.host.plot.has_value(); }));

        EXPECT_EQ(rig.dialog.mode(), UiMode::solved);
        ASSERT_EQ(rig.dialog.lastSolve().length, static_cast<int32_t>(moves.size()));
        EXPECT_TRUE(std::equal(moves.begin(), moves.end(), rig.dialog.lastSolve().moves.begin()));
        rig.host.key(Key::end);
        EXPECT_EQ(rig.dialog.view().board, walked);

        // The plot against the distances of the positions the moves pass.
        const ReviewPlot& plot = *rig.host.plot;
        ASSERT_EQ(plot.count(), static_cast<int32_t>(moves.size()));
        EXPECT_EQ(plot.startLength, distanceOf(start));
        Board board = start;
        std::vector<int32_t> lost;
        for (int32_t m = 1; m <= plot.count(); ++m) {
            board = *replay(board, std::vector<int32_t>{moves[static_cast<size_t>(m - 1)]});
            EXPECT_EQ(plot.distanceAt(m), distanceOf(board));
            if (plot.distanceAt(m) > plot.distanceAt(m - 1)) lost.push_back(m);
        }
        EXPECT_EQ(plot.lost, lost);
        EXPECT_EQ(plot.ended, distanceOf(walked));
        EXPECT_EQ(plot.count(),
                  plot.startLength - plot.ended + 2 * static_cast<int32_t>(lost.size()));
        EXPECT_EQ(plot.endNote.empty(), walked == goalBoard);
        EXPECT_NE(rig.host.controlText(idOutput).find(plot.summary), std::string::npos);

        // Stepping works on the moves as on a found solution.
        rig.host.key(Key::home);
        EXPECT_EQ(rig.dialog.view().board, start);
        rig.host.key(Key::right, true);
        EXPECT_EQ(rig.dialog.view().board, *replay(start, std::vector<int32_t>{moves[0]}));

        // Another board: the plot goes.
        rig.host.click(idShuffle);
        EXPECT_FALSE(rig.host.plot.has_value());
    }
}

}  // namespace
}  // namespace fifteen::ui::testing
