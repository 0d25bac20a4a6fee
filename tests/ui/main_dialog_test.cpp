#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "tests/ui/ui_test_support.h"

namespace fifteen::ui {
namespace {

using testing::DeadlockGuard;
using testing::DialogRig;

// Drives the dialog with a short script of user actions.
void run(DialogRig& rig, const std::string& script) {
    std::istringstream words(script);
    std::string w;
    while (words >> w) {
        if (w == "ready")
            rig.makeReady();
        else if (w == "shuffle")
            rig.host.click(idShuffle);
        else if (w == "backward")
            rig.host.click(idBackward);
        else if (w == "drag")
            rig.host.click(idDirectDrag);
        else if (w == "reset")
            rig.host.click(idReset);
        else if (w == "solve")
            rig.host.click(idSolve);
        else if (w == "cancel")
            rig.host.click(idCancel);
        else if (w == "trace")
            rig.host.click(idTrace);
        else if (w == "tick")
            rig.host.fireTimer(timerMain);
        else if (w == "onemove")
            rig.clickCell(14);
        else if (w == "swap")
            rig.drag(13, 14);  // 14 and 15 exchanged: unsolvable
        else if (w == "slow")
            rig.services.job = rig.services.untilCancelled();
        else if (w == "wait")
            rig.host.pumpUntil([&] { return rig.dialog.mode() != UiMode::solving; });
        else if (w == "finish") {
            while (!rig.dialog.pausing() && rig.host.fireTimer(timerMain)) {
            }
            rig.host.advance(pauseMs);
        } else
            FAIL() << "unknown step " << w;
    }
}

struct ModeCase {
    const char* name;
    const char* script;
    UiMode mode;
    const char* buttons;  // Shuffle Backward DirectDrag Reset Solve(X) Cancel Trace
    const char* status;   // nullptr: not looked at
    const char* checks;   // Backward, DirectDrag
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ModeCase& modeCase, std::ostream* out) {
    *out << '"' << modeCase.script << '"';
}

const char* const startText = "Solver = WD + PDB + OpenMP";
const char* const solvedOne = "ready backward onemove solve wait";

const ModeCase modeCases[] = {
    {"startup", "", UiMode::idle, "SBDR---", startText, "00"},
    {"ready", "ready", UiMode::idle, "SBDRX--", startText, "00"},
    {"shuffle", "ready shuffle", UiMode::idle, "SBDRX--", "Shuffle", "00"},
    {"backward", "ready backward", UiMode::backward, "SBDRX--", " Backward 0 moves", "10"},
    {"backward_not_ready", "backward", UiMode::backward, "SBDR---", " Backward 0 moves", "10"},
    {"backward_then_drag", "ready backward drag", UiMode::directDrag, "SBDRX--", "DirctDrag", "01"},
    {"drag_then_backward", "ready drag backward", UiMode::backward, "SBDRX--", " Backward 0 moves",
     "10"},
    {"backward_twice", "ready backward backward", UiMode::backward, "SBDRX--", " Backward 0 moves",
     "00"},
    {"shuffle_clears_checks", "ready backward drag shuffle", UiMode::idle, "SBDRX--", "Shuffle",
     "00"},
    {"solving", "ready backward onemove solve", UiMode::solving, "-----C-", " Backward 1 moves",
     "00"},
    {"solved", solvedOne, UiMode::solved, "SBDRX-T", nullptr, "00"},
    {"solved_goal", "ready solve wait", UiMode::solved, "SBDRX--", nullptr, "00"},
    {"unsolvable", "ready drag swap solve wait", UiMode::solved, "SBDRX--", "UnSolvable", "00"},
    {"cancelled_solve", "ready slow solve cancel wait", UiMode::solved, "SBDRX--", "Cancel", "00"},
    {"tracing", "ready backward onemove solve wait trace", UiMode::tracing, "-----C-", nullptr,
     "00"},
    {"trace_stopped", "ready backward onemove solve wait trace tick cancel tick", UiMode::solved,
     "SBDRX-T", "  1 /  1 moves", "00"},
    {"trace_finished", "ready backward onemove solve wait trace finish", UiMode::solved, "SBDRX-T",
     "  0 /  1 moves", "00"},
    {"reset_after_solve", "ready backward onemove solve wait reset", UiMode::idle, "SBDRX--", "",
     "00"},
    {"shuffle_after_solve", "ready backward onemove solve wait shuffle", UiMode::idle, "SBDRX--",
     "Shuffle", "00"},
    {"backward_after_solve", "ready backward onemove solve wait backward", UiMode::backward,
     "SBDRX--", " Backward 0 moves", "10"},
    {"drag_after_solve", "ready backward onemove solve wait drag", UiMode::directDrag, "SBDRX--",
     "DirctDrag", "01"},
    {"solve_again", "ready backward onemove solve wait trace finish solve wait", UiMode::solved,
     "SBDRX-T", nullptr, "00"},
    {"reset_idle", "ready shuffle reset", UiMode::idle, "SBDRX--", "DirctDrag", "00"},
    {"reset_backward", "ready backward onemove reset", UiMode::backward, "SBDRX--",
     " Backward 0 moves", "10"},
    {"reset_drag", "ready drag reset", UiMode::directDrag, "SBDRX--", "DirctDrag", "01"},
};

class ModeTable : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ModeTable, ModeButtonsStatusAndChecks) {
    const ModeCase& c = GetParam();
    DialogRig rig;
    run(rig, c.script);
    EXPECT_EQ(rig.dialog.mode(), c.mode);
    EXPECT_EQ(rig.buttons(), c.buttons);
    if (c.status != nullptr) {
        EXPECT_EQ(rig.host.controlText(idStatus), c.status);
    }
    const std::string checks = {rig.host.isChecked(idBackward) ? '1' : '0',
                                rig.host.isChecked(idDirectDrag) ? '1' : '0'};
    EXPECT_EQ(checks, c.checks);
    EXPECT_EQ(rig.host.threadViolations(), 0);
}

INSTANTIATE_TEST_SUITE_P(Commands, ModeTable, ::testing::ValuesIn(modeCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(Commands, DisabledOnesDoNothingEvenWhenDelivered) {
    DialogRig rig;
    run(rig, "ready backward onemove solve");
    ASSERT_EQ(rig.dialog.mode(), UiMode::solving);
    const Board shown = rig.dialog.view().board;
    for (int id : {idShuffle, idBackward, idDirectDrag, idReset, idSolve, idTrace}) {
        EXPECT_FALSE(rig.host.click(id));
        if (id != idTrace) rig.dialog.onCommand(id);  // Trace in mode 3 is never enabled
    }
    EXPECT_EQ(rig.dialog.mode(), UiMode::solving);
    EXPECT_EQ(rig.dialog.view().board, shown);
    run(rig, "wait trace");
    rig.dialog.onCommand(idReset);
    rig.dialog.onCommand(idSolve);
    EXPECT_EQ(rig.dialog.mode(), UiMode::tracing);
}

TEST(Commands, SolveCopiesTheShownBoardAndClearsTheOutput) {
    DialogRig rig;
    rig.makeReady();
    rig.host.setControlText(idOutput, "old report");
    run(rig, "shuffle");
    const Board shown = rig.dialog.view().board;
    // A job that only looks at its board, then finishes.
    Board seen{};
    rig.services.job = [&](const Board& b, SolveOutput& out) {
        seen = b;
        out.solveFinished(SolveResult{});
    };
    rig.host.click(idSolve);
    EXPECT_EQ(rig.host.controlText(idOutput), "");
    EXPECT_EQ(rig.host.timerPeriod(timerMain), secondsPeriodMs);
    rig.host.pumpUntil([&] { return rig.dialog.mode() == UiMode::solved; });
    EXPECT_EQ(seen, shown);
    EXPECT_EQ(rig.host.timerPeriod(timerMain), 0);
    EXPECT_EQ(rig.host.delivered.back(), msgSolveFinished);
}

TEST(SecondsCounter, CountsWhileSolvingAndKeepsItsTextAfterACancel) {
    DialogRig rig;
    run(rig, "ready slow solve");
    rig.host.advance(999);
    EXPECT_EQ(rig.host.controlText(idSeconds), "0 sec");
    rig.host.advance(2001);
    EXPECT_EQ(rig.dialog.seconds(), 3);
    EXPECT_EQ(rig.host.controlText(idSeconds), "    3 sec");
    run(rig, "cancel wait");
    EXPECT_TRUE(rig.services.cancelRequested.load());
    EXPECT_EQ(rig.host.timerPeriod(timerMain), 0);
    rig.host.advance(5000);
    EXPECT_EQ(rig.host.controlText(idSeconds), "    3 sec");
    run(rig, "shuffle");
    EXPECT_EQ(rig.host.controlText(idSeconds), "0 sec");
    // A new solve counts from zero.
    run(rig, "slow solve");
    rig.host.advance(1000);
    EXPECT_EQ(rig.host.controlText(idSeconds), "    1 sec");
    run(rig, "cancel wait");
}

// The dialog keeps the last solve as the solver's record kept it: an unsolvable
// board replaces only the problem, a cancelled solve leaves no moves.
TEST(LastSolve, AnUnsolvableBoardKeepsTheMovesAndACancelLeavesNone) {
    DialogRig rig;
    run(rig, "ready backward onemove solve wait");
    const SolveResult solved = rig.dialog.lastSolve();
    ASSERT_EQ(solved.length, 1);
    run(rig, "reset drag swap solve wait");
    EXPECT_EQ(rig.host.controlText(idStatus), "UnSolvable");
    EXPECT_EQ(rig.dialog.lastSolve().problem, rig.dialog.view().board);
    EXPECT_NE(rig.dialog.lastSolve().problem, solved.problem);
    EXPECT_EQ(rig.dialog.lastSolve().length, 1);
    EXPECT_EQ(rig.dialog.lastSolve().moves, solved.moves);
    run(rig, "slow solve cancel wait");
    EXPECT_EQ(rig.dialog.lastSolve().status, solveCancelled);
    EXPECT_EQ(rig.dialog.lastSolve().length, 0);
}

TEST(SolveOutputTexts, GoToTheirControlsFromTheSolveThread) {
    DialogRig rig;
    rig.makeReady();
    rig.services.job = [](const Board&, SolveOutput& out) {
        out.setOutputText("report");
        out.setStatusText(" WD=0, PDB=0, Threads=1/4");
        out.setSecondsText("   10 sec");
        out.setSolutionAvailable(false);
        out.solveFinished(SolveResult{});
    };
    rig.solveAndWait();
    EXPECT_EQ(rig.host.controlText(idOutput), "report");
    EXPECT_EQ(rig.host.controlText(idStatus), " WD=0, PDB=0, Threads=1/4");
    EXPECT_EQ(rig.host.controlText(idSeconds), "   10 sec");
    EXPECT_EQ(rig.host.threadViolations(), 0);
}

TEST(Close, WhileTheSolveThreadWaitsOnTheDialog) {
    DialogRig rig;
    rig.makeReady();
    rig.host.click(idSolve);
    // The oracle job is now waiting for its first text to be shown.
    ASSERT_TRUE(rig.host.waitForPending());
    {
        DeadlockGuard guard("close while the solve thread sends");
        rig.host.close();
    }
    EXPECT_EQ(rig.host.endResult, 0);
    EXPECT_EQ(rig.services.releaseCount, 1);
    EXPECT_FALSE(rig.services.solveRunningAtRelease);
    EXPECT_FALSE(rig.services.solveRunning.load());
    EXPECT_EQ(rig.host.threadViolations(), 0);
}

TEST(Close, CancelsASolveThatBeginsAfterTheRequest) {
    DialogRig rig;
    rig.makeReady();
    // The job begins only after the close has begun (as a search may begin after
    // the request), then runs until it sees the cancel.
    rig.services.job = [&](const Board& b, SolveOutput& out) {
        while (!rig.host.closing()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        rig.services.solveUntilCancelled(b, out);
    };
    rig.host.click(idSolve);
    {
        DeadlockGuard guard("close during a solve");
        rig.host.close();
    }
    EXPECT_TRUE(rig.services.cancelRequested.load());
    EXPECT_EQ(rig.services.releaseCount, 1);
    EXPECT_FALSE(rig.services.solveRunningAtRelease);
    EXPECT_EQ(rig.host.endResult, 0);
}

TEST(Close, WhileTheBuildThreadsWaitOnTheDialog) {
    DialogRig rig;
    rig.services.finishFromThread(PreparedTable::patternDbA);
    rig.services.finishFromThread(PreparedTable::patternDbB);
    rig.services.finishFromThread(PreparedTable::wdTable);
    ASSERT_TRUE(rig.host.waitForPending());
    {
        DeadlockGuard guard("close while the build threads send");
        rig.host.close();
    }
    EXPECT_GE(rig.services.joinCount, 1);
    EXPECT_FALSE(rig.services.buildersRunningAtRelease);
    EXPECT_EQ(rig.services.releaseCount, 1);
    EXPECT_EQ(rig.host.endResult, 0);
    // Nothing reaches a closed dialog.
    rig.host.message(msgWdTableReady);
    rig.host.message(msgPatternDbAReady);
    rig.host.message(msgPatternDbBReady);
    EXPECT_FALSE(rig.dialog.allReady());
}

TEST(Close, StopsThePlaybackAndTheTimers) {
    DialogRig rig;
    run(rig, solvedOne);
    run(rig, "trace tick tick");
    rig.host.close();
    EXPECT_EQ(rig.host.timerPeriod(timerMain), 0);
    EXPECT_EQ(rig.host.timerPeriod(timerPause), 0);
    EXPECT_EQ(rig.host.endResult, 0);
    EXPECT_EQ(rig.dialog.view().surface().width, 0);  // released
}

}  // namespace
}  // namespace fifteen::ui
