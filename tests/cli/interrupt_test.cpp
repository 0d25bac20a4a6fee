#include "cli/interrupt.h"

#include <gtest/gtest.h>
#include <signal.h>

#include "search/solver.h"

namespace fifteen::cli {
namespace {

// The first Ctrl-C is the watcher's (a cancel); it hands SIGINT back to the
// default action, so a second one ends a program that is slow to stop at once.
// In a child of its own: the flag and the disposition are the process's.
TEST(InterruptWatcherDeathTest, ASecondInterruptEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // the watcher is a thread
    EXPECT_EXIT(
        {
            Solver solver;
            InterruptWatcher watcher(solver);
            raise(SIGINT);  // handled before raise returns
            if (!interruptRequested()) std::_Exit(3);
            raise(SIGINT);
            std::_Exit(0);
        },
        testing::KilledBySignal(SIGINT), "");
}

}  // namespace
}  // namespace fifteen::cli
