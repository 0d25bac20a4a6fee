#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "heuristics/pdb/pattern_db.h"
#include "search/preparation.h"
#include "search/solver_state.h"
#include "tests/support/failing_starter.h"
#include "tests/ui/ui_test_support.h"

// The dialog over the program's own start-up, closed or failed before the tables
// are ready. Each test leaves the databases released, so the next starts afresh.

namespace fifteen::ui {
namespace {

using testing::DeadlockGuard;
using testing::HeadlessPlatform;

// A build takes hundreds of layers' worth of work longer than the steps between
// open and close, so the stop finds every database build still running.
TEST(ProgramStartUp, ClosingDuringPreparationStopsTheBuilds) {
    solverState.maxDepthA = -7;
    solverState.maxDepthB = -7;
    HeadlessPlatform host;
    MainDialog dialog(host);
    host.open(dialog);
    EXPECT_FALSE(host.isControlEnabled(idSolve));
    {
        DeadlockGuard guard("close during the table builds");
        host.close();
    }
    EXPECT_EQ(host.endResult, 0);
    EXPECT_FALSE(dialog.allReady());
    EXPECT_EQ(solverState.maxDepthA, -7) << "database A was built to the end";
    EXPECT_EQ(solverState.maxDepthB, -7) << "database B was built to the end";
    EXPECT_EQ(patternDbA.entries, nullptr);
    EXPECT_EQ(patternDbB.entries, nullptr);
    EXPECT_EQ(host.threadViolations(), 0);
}

using test_support::failingStarter;
using test_support::startsBeforeFailure;

TEST(ProgramStartUp, AThreadThatCannotStartShowsTheTableFailure) {
    const PreparationThreadStarter previous = preparationThreadStarter;
    preparationThreadStarter = &failingStarter;
    for (int starts : {0, 2}) {
        startsBeforeFailure = starts;
        HeadlessPlatform host;
        MainDialog dialog(host);
        host.open(dialog);
        EXPECT_TRUE(dialog.preparationFailed()) << starts;
        EXPECT_EQ(host.controlText(idStatus), "No memory for the tables");
        EXPECT_FALSE(host.isControlEnabled(idSolve));
        host.click(idShuffle);
        EXPECT_FALSE(host.isControlEnabled(idSolve));
        EXPECT_EQ(patternDbA.entries, nullptr) << "released by the failed start";
        {
            DeadlockGuard guard("close after a failed start");
            host.close();
        }
        EXPECT_EQ(host.endResult, 0);
        EXPECT_TRUE(host.delivered.empty()) << "no build ran, so no ready message";
    }
    preparationThreadStarter = previous;
}

}  // namespace
}  // namespace fifteen::ui
