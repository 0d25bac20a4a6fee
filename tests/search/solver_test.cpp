#include "search/solver.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "puzzle/standard_instances.h"
#include "recording_output.h"
#include "search/table_set.h"
#include "search_test_support.h"

namespace fifteen {
namespace {

using testing::RecordingOutput;

struct OwnRecord {
    // Several megabytes: never on a test's stack.
    std::unique_ptr<SolverState> state = std::make_unique<SolverState>();
};

// What a solve gives that does not depend on timing.
void expectSameAnswer(const SolveResult& got, const SolveResult& alone) {
    EXPECT_EQ(got.status, alone.status);
    ASSERT_EQ(got.length, alone.length);
    EXPECT_EQ(got.moves, alone.moves);
    EXPECT_EQ(got.nodesBelowFinalBound, alone.nodesBelowFinalBound);
    EXPECT_EQ(got.startWd, alone.startWd);
    EXPECT_EQ(got.startPdb, alone.startPdb);
}

// A record of one's own is what lets a second solve run beside the shown one:
// both at once must answer as each does alone, node for node.
TEST(Solver, SolversOverTheirOwnRecordsRunAtOnceAsEachRunsAlone) {
    testing::requireAllTables();
    const Board first = standardInstance(69).board;
    const Board second = standardInstance(3).board;
    for (const ParallelDesign design : {ParallelDesign::shared, ParallelDesign::items}) {
        Solver program(SolveOptions{2, design});
        OwnRecord record;
        Solver own(*record.state, defaultTableSet(), SolveOptions{2, design});
        RecordingOutput quiet;
        const SolveResult firstAlone = program.solve(first, quiet);
        const SolveResult secondAlone = own.solve(second, quiet);
        ASSERT_EQ(firstAlone.length, standardInstance(69).length);
        ASSERT_EQ(secondAlone.length, standardInstance(3).length);
        EXPECT_TRUE(
            testing::replayReachesGoal(second, secondAlone.moves.data(), secondAlone.length));

        SolveResult firstBeside;
        SolveResult secondBeside;
        RecordingOutput firstOutput;
        RecordingOutput secondOutput;
        std::thread beside([&] { secondBeside = own.solve(second, secondOutput); });
        firstBeside = program.solve(first, firstOutput);
        beside.join();
        expectSameAnswer(firstBeside, firstAlone);
        expectSameAnswer(secondBeside, secondAlone);
        // The front ends take the result from the last notification.
        EXPECT_EQ(firstOutput.result.moves, firstBeside.moves);
        EXPECT_EQ(secondOutput.result.nodes, secondBeside.nodes);
        EXPECT_NE(firstOutput.output, secondOutput.output) << "each report is its own problem's";
    }
}

// Cancel goes to one solver's record: the other solve runs to its answer.
TEST(Solver, ACancelStopsOnlyTheSolverItWasGivenTo) {
    testing::requireAllTables();
    const Board board = standardInstance(69).board;
    OwnRecord a;
    OwnRecord b;
    Solver cancelled(*a.state, defaultTableSet(), SolveOptions{1, ParallelDesign::shared});
    Solver finishing(*b.state, defaultTableSet(), SolveOptions{1, ParallelDesign::shared});
    cancelled.clearCancel();
    finishing.clearCancel();
    cancelled.cancel();  // before the search: kept until it begins
    EXPECT_TRUE(cancelled.cancelRequested());
    EXPECT_FALSE(finishing.cancelRequested());
    SolveResult stopped;
    SolveResult answered;
    RecordingOutput stoppedOutput;
    RecordingOutput answeredOutput;
    std::thread other([&] { stopped = cancelled.solve(board, stoppedOutput); });
    answered = finishing.solve(board, answeredOutput);
    other.join();
    EXPECT_EQ(stopped.status, solveCancelled);
    EXPECT_EQ(stopped.length, 0);
    EXPECT_EQ(answered.status, solveSolved);
    EXPECT_EQ(answered.length, standardInstance(69).length);
}

}  // namespace
}  // namespace fifteen
