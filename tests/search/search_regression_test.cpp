// Checks that small slips in the search would not pass: the cancel hand-over of
// requestCancel, and the one-thread node counts against an independent count.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "puzzle/standard_instances.h"
#include "recording_output.h"
#include "search/parallel_search.h"
#include "search/report.h"
#include "search/solve_job.h"
#include "search/solver_state.h"
#include "search_test_support.h"

namespace fifteen {
namespace {

// Notes the notifications, so the test knows when the search runs.
class WatchedOutput : public testing::RecordingOutput {
  public:
    void searchStarted() override { started.store(true); }
    void searchEnded(SolveStatus ended) override { endedWith.store(ended); }
    std::atomic<bool> started{false};
    std::atomic<SolveStatus> endedWith{-1};
};

// The dialog's way: requestCancel while the workers search (their progress shows
// a bound), not a value written into bestLength.
TEST(SearchRegression, RequestCancelDuringTheSearchEndsCancelledWithNoTrace) {
    testing::requireAllTables();
    for (const int32_t threads : {1, 2}) {
        solverState.maxThreads = threads;
        clearCancelRequest(solverState);
        WatchedOutput out;
        const Board board = standardInstance(82).board;  // 62 moves: many seconds
        // What the last solve left; the workers' first iteration sets it again.
        solverState.progressBound.store(0);
        std::thread job([&] { solveJob(board, out); });
        while (readSearchProgress(solverState).bound == 0 || !out.started.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        requestCancel(solverState);
        job.join();
        EXPECT_EQ(solverState.status, solveCancelled) << threads << " threads";
        EXPECT_EQ(out.endedWith.load(), solveCancelled);
        EXPECT_EQ(solverState.bestLength.load(), 0);
        EXPECT_EQ(out.status, cancelStatus);
        ReportText problem;
        appendProblem(problem, board);
        EXPECT_EQ(out.output, std::string(problem.c_str()) + cancelReport);
        for (const std::string& call : out.calls) {
            EXPECT_NE(call, "available:1");
            EXPECT_NE(call.substr(0, 8), "seconds:");
        }
    }
    clearCancelRequest(solverState);
}

// bench/data/korf100_nodes.tsv: for each standard instance, the depth-first calls
// of a one-thread search as an independent implementation of the same algorithm
// counts them (on entry, every iteration up to the solution).
std::map<int, uint64_t> independentNodeCounts() {
    std::ifstream data(FIFTEEN_SOURCE_DIR "/bench/data/korf100_nodes.tsv");
    std::map<int, uint64_t> counts;
    std::string line;
    while (std::getline(data, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        int number = 0;
        uint64_t nodes = 0;
        if (fields >> number >> nodes) counts[number] = nodes;
    }
    return counts;
}

// 3 and 55: the root's walking distance equals its database value (the schedule's
// tie); 69 and 85: the databases lead, consulted deep in the search.
TEST(SearchRegression, OneThreadNodeCountsAgreeWithAnIndependentImplementation) {
    testing::requireAllTables();
    const std::map<int, uint64_t> counts = independentNodeCounts();
    ASSERT_EQ(counts.size(), 100u) << "bench/data/korf100_nodes.tsv";
    solverState.maxThreads = 1;
    clearCancelRequest(solverState);
    for (const int number : {3, 55, 69, 85}) {
        const StandardInstance& instance = standardInstance(number);
        testing::RecordingOutput out;
        solveJob(instance.board, out);
        ASSERT_EQ(solverState.status, solveSolved) << number;
        EXPECT_EQ(solverState.bestLength.load(), instance.length) << number;
        EXPECT_EQ(solverState.nodes, counts.at(number)) << "instance " << number;
    }
}

}  // namespace
}  // namespace fifteen
