#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "recording_output.h"
#include "search/solve_job.h"
#include "search/solver_state.h"
#include "search_test_support.h"

namespace fifteen {
namespace {

struct KorfInstance {
    int number;
    Board board;     // this program's orientation (see ../shared/data/korf100.tsv)
    int32_t length;  // published optimal length
};

// Instances that solve in milliseconds, on walking distance alone (12, 42, 55,
// 74, 94) and with pattern-database lookups (79, 85: their database value is
// above their walking distance).
const KorfInstance quickInstances[] = {
    {12, {1, 3, 5, 6, 0, 13, 14, 9, 11, 4, 8, 12, 10, 7, 15, 2}, 45},
    {42, {6, 1, 15, 8, 5, 10, 13, 0, 3, 4, 2, 7, 14, 9, 11, 12}, 42},
    {55, {5, 10, 14, 4, 6, 12, 11, 1, 9, 0, 15, 7, 13, 2, 8, 3}, 41},
    {74, {11, 4, 6, 14, 15, 13, 9, 0, 7, 10, 8, 1, 5, 12, 3, 2}, 56},
    {79, {1, 6, 10, 8, 14, 12, 4, 2, 13, 11, 3, 5, 9, 7, 15, 0}, 42},
    {85, {1, 5, 0, 13, 11, 2, 8, 4, 10, 7, 14, 15, 6, 3, 9, 12}, 44},
    {94, {14, 12, 15, 10, 1, 13, 4, 6, 3, 7, 2, 0, 8, 5, 9, 11}, 53},
};

using KorfCase = std::tuple<KorfInstance, int32_t>;  // instance, thread limit

class KorfInstances : public ::testing::TestWithParam<KorfCase> {};

std::string caseName(const ::testing::TestParamInfo<KorfCase>& param) {
    return "Instance" + std::to_string(std::get<0>(param.param).number) + "Threads" +
           std::to_string(std::get<1>(param.param));
}

TEST_P(KorfInstances, SolveToThePublishedLength) {
    testing::requireAllTables();
    const auto& [instance, threads] = GetParam();
    solverState.maxThreads = threads;
    testing::RecordingOutput output;
    solveJob(instance.board, output);
    ASSERT_EQ(solverState.status, solveSolved) << output.output;
    EXPECT_EQ(solverState.bestLength.load(), instance.length);
    EXPECT_TRUE(
        testing::replayReachesGoal(instance.board, solverState.solution.data(), instance.length));
    EXPECT_LE(solverState.itemCount, threads);
    EXPECT_NE(output.output.find("Optimal solution is " + std::to_string(instance.length) +
                                 " moves.\r\n"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Quick, KorfInstances,
                         ::testing::Combine(::testing::ValuesIn(quickInstances),
                                            ::testing::Values(1, 2)),
                         caseName);

}  // namespace
}  // namespace fifteen
