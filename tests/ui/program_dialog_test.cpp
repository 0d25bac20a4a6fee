#include <gtest/gtest.h>

#include <string>

#include "heuristics/pdb/pattern_db.h"
#include "puzzle/standard_instances.h"
#include "tests/ui/ui_test_support.h"

namespace fifteen::ui {
namespace {

using testing::cellCentre;
using testing::DeadlockGuard;
using testing::HeadlessPlatform;

// Korf's instance 1 in this program's orientation; optimal length 57, long enough
// that the solve is still running when the dialog is closed.
constexpr Board korfOne = standardInstance(1).board;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The dialog over the program's own tables and solve job, from start-up to close.
// One test, because the tables are built once per process.
TEST(ProgramDialog, PreparesSolvesTracesAndClosesDuringASolve) {
    HeadlessPlatform host;
    MainDialog dialog(host);
    host.open(dialog);
    ASSERT_TRUE(host.pumpUntil([&] { return dialog.allReady() || dialog.preparationFailed(); },
                               std::chrono::seconds(280)));
    ASSERT_TRUE(dialog.allReady());
    EXPECT_TRUE(host.isControlEnabled(idSolve));

    // A position a few backward moves from the goal: the reported length is the
    // breadth-first optimum and the solution replays to the goal.
    host.click(idBackward);
    for (int cell : {14, 10, 9, 5, 6, 2, 3, 7, 11}) {
        host.mouse(MouseEvent::leftDown, cellCentre(dialog, cell));
    }
    const Board problem = dialog.view().board;
    const auto oracle = testing::shortestSolution(problem);
    ASSERT_TRUE(oracle.has_value());
    const auto length = static_cast<int32_t>(oracle->size());
    host.click(idSolve);
    ASSERT_TRUE(host.pumpUntil([&] { return dialog.mode() == UiMode::solved; }));
    EXPECT_TRUE(contains(host.controlText(idOutput),
                         "Optimal solution is " + std::to_string(length) + " moves.\r\n"));
    ASSERT_EQ(dialog.lastSolve().length, length);
    const std::vector<int32_t> solution(dialog.lastSolve().moves.begin(),
                                        dialog.lastSolve().moves.begin() + length);
    EXPECT_EQ(testing::replay(problem, solution), goalBoard);
    ASSERT_TRUE(host.isControlEnabled(idTrace));

    host.click(idTrace);
    int ticks = 0;
    while (!dialog.pausing() && host.fireTimer(timerMain)) ++ticks;
    EXPECT_EQ(ticks, 9 * length + 1);
    EXPECT_EQ(dialog.view().board, goalBoard);
    host.advance(pauseMs);
    EXPECT_EQ(dialog.view().board, problem);

    // The goal itself: no moves, nothing to trace.
    host.click(idReset);
    ASSERT_EQ(dialog.mode(), UiMode::idle);
    host.click(idSolve);
    ASSERT_TRUE(host.pumpUntil([&] { return dialog.mode() == UiMode::solved; }));
    EXPECT_TRUE(contains(host.controlText(idOutput), "Optimal solution is 0 moves.\r\n"));
    EXPECT_FALSE(host.isControlEnabled(idTrace));

    // 14 and 15 exchanged.
    host.click(idDirectDrag);
    testing::dragCell(host, dialog, 13, 14);
    host.click(idSolve);
    ASSERT_TRUE(host.pumpUntil([&] { return dialog.mode() == UiMode::solved; }));
    EXPECT_EQ(host.controlText(idStatus), "UnSolvable");
    EXPECT_TRUE(contains(host.controlText(idOutput), "UnSolvable."));

    // Closing during a long solve cancels it and waits for it before the
    // databases go.
    host.click(idDirectDrag);
    testing::arrangeByDrags(host, dialog, korfOne);
    ASSERT_EQ(dialog.view().board, korfOne);
    host.click(idSolve);
    ASSERT_TRUE(host.pumpUntil([&] { return contains(host.controlText(idStatus), " WD="); }));
    {
        DeadlockGuard guard("close during a real solve");
        host.close();
    }
    EXPECT_EQ(host.endResult, 0);
    EXPECT_EQ(patternDbA.entries, nullptr);
    EXPECT_EQ(patternDbB.entries, nullptr);
    EXPECT_EQ(host.threadViolations(), 0);
}

}  // namespace
}  // namespace fifteen::ui
