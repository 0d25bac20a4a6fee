#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <tuple>

#include "puzzle/standard_instances.h"
#include "recording_output.h"
#include "search/solve_job.h"
#include "search/solver_state.h"
#include "search_test_support.h"

namespace fifteen {
namespace {

// Instances that solve in milliseconds, on walking distance alone (12, 42, 55,
// 74, 94) and with pattern-database lookups (79, 85: their database value is
// above their walking distance).
const StandardInstance quickInstances[] = {
    standardInstance(12), standardInstance(42), standardInstance(55), standardInstance(74),
    standardInstance(79), standardInstance(85), standardInstance(94),
};

// The compiled table is written from the data file; a stale or hand-edited copy
// shows here.
TEST(StandardInstances, AgreeWithTheDataFileAndAreSolvable) {
    std::ifstream data(FIFTEEN_SOURCE_DIR "/bench/data/korf100.tsv");
    ASSERT_TRUE(data) << "bench/data/korf100.tsv";
    std::string line;
    int rows = 0;
    while (std::getline(data, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        StandardInstance expected{};
        fields >> expected.number;
        for (int32_t& cell : expected.board) fields >> cell;
        fields >> expected.length;
        ASSERT_TRUE(fields) << line;
        const StandardInstance& stored = standardInstance(expected.number);
        EXPECT_EQ(stored.number, expected.number);
        EXPECT_EQ(stored.board, expected.board) << "instance " << expected.number;
        EXPECT_EQ(stored.length, expected.length) << "instance " << expected.number;
        EXPECT_TRUE(isValidBoard(stored.board) && isSolvable(stored.board));
        ++rows;
    }
    EXPECT_EQ(rows, 100);
}

// instance, thread limit, design
using KorfCase = std::tuple<StandardInstance, int32_t, ParallelDesign>;

class KorfInstances : public ::testing::TestWithParam<KorfCase> {};

std::string caseName(const ::testing::TestParamInfo<KorfCase>& param) {
    return "Instance" + std::to_string(std::get<0>(param.param).number) + "Threads" +
           std::to_string(std::get<1>(param.param)) +
           (std::get<2>(param.param) == ParallelDesign::shared ? "Shared" : "Items");
}

TEST_P(KorfInstances, SolveToThePublishedLength) {
    testing::requireAllTables();
    const auto& [instance, threads, design] = GetParam();
    solverState.maxThreads = threads;
    solverState.parallelDesign = design;
    testing::RecordingOutput output;
    solveJob(instance.board, output);
    ASSERT_EQ(solverState.status, solveSolved) << output.output;
    EXPECT_EQ(solverState.bestLength.load(), instance.length);
    EXPECT_TRUE(
        testing::replayReachesGoal(instance.board, solverState.solution.data(), instance.length));
    EXPECT_LE(solverState.searchThreads, threads);
    if (design == ParallelDesign::items) {
        EXPECT_LE(solverState.itemCount, threads);
    }
    EXPECT_NE(output.output.find("Optimal solution is " + std::to_string(instance.length) +
                                 " moves.\r\n"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Quick, KorfInstances,
                         ::testing::Combine(::testing::ValuesIn(quickInstances),
                                            ::testing::Values(1, 2),
                                            ::testing::Values(ParallelDesign::items)),
                         caseName);
INSTANTIATE_TEST_SUITE_P(QuickShared, KorfInstances,
                         ::testing::Combine(::testing::ValuesIn(quickInstances),
                                            ::testing::Values(2, 3, 4, 8),
                                            ::testing::Values(ParallelDesign::shared)),
                         caseName);

}  // namespace
}  // namespace fifteen
