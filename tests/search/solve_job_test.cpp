#include "search/solve_job.h"
#include "search/parallel_search.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "puzzle/standard_instances.h"
#include "recording_output.h"
#include "search/report.h"
#include "search/solver_state.h"
#include "search_test_support.h"

namespace fifteen {
namespace {

using testing::RecordingOutput;

class SolveJobBase : public ::testing::Test {
  protected:
    void useDesign(ParallelDesign design) {
        testing::requireAllTables();
        solverState.parallelDesign = design;
    }

    RecordingOutput solve(const Board& board, int32_t maxThreads) {
        solverState.maxThreads = maxThreads;
        RecordingOutput output;
        solveJob(board, output);
        return output;
    }

    static std::string problemText(const Board& board) {
        ReportText text;
        appendProblem(text, board);
        return text.c_str();
    }

    static std::string usedTime() {
        const ElapsedTime t = splitElapsed(solverState.elapsedMs);
        char line[40];
        std::snprintf(line, sizeof line, "Used time: %d.%02d sec\r\n", t.seconds, t.hundredths);
        return line;
    }

    static int32_t bestLength() { return solverState.bestLength.load(); }
};

// Every case runs for both parallel designs; with one thread they are the same.
class SolveJobTest : public SolveJobBase, public ::testing::WithParamInterface<ParallelDesign> {
  protected:
    void SetUp() override { useDesign(GetParam()); }
};

std::string designName(const ::testing::TestParamInfo<ParallelDesign>& param) {
    return param.param == ParallelDesign::shared ? "Shared" : "Items";
}

INSTANTIATE_TEST_SUITE_P(Designs, SolveJobTest,
                         ::testing::Values(ParallelDesign::shared, ParallelDesign::items),
                         designName);

Board movedFromGoal(std::initializer_list<int32_t> blankPath) {
    Board board = goalBoard;
    int32_t blank = 15;
    for (int32_t cell : blankPath) {
        applyMove(board, blank, cell);
        blank = cell;
    }
    return board;
}

TEST_P(SolveJobTest, TheGoalIsSolvedWithNoMovesAndNoTrace) {
    const RecordingOutput out = solve(goalBoard, 4);
    const std::string problem = "  1  2  3  4\r\n  5  6  7  8\r\n  9 10 11 12\r\n 13 14 15  0\r\n";
    const std::string report =
        problem + "Optimal solution is 0 moves.\r\n" + usedTime() + "Solution:\r\n";
    const std::vector<std::string> expected = {
        "output:" + problem, "status: WD=0, PDB=0, Threads=1/4",
        "playback:0",        "available:0",
        "seconds:    0 sec", "output:" + report,
        "finished:",
    };
    EXPECT_EQ(out.calls, expected);
    EXPECT_EQ(solverState.status, solveSolved);
    EXPECT_EQ(bestLength(), 0);
    EXPECT_EQ(solverState.nodes, 0u);
}

struct OneMoveCase {
    int32_t blank;  // where the blank went from cell 15
    int32_t maxThreads;
};

class OneMoveFromGoal
    : public SolveJobBase,
      public ::testing::WithParamInterface<std::tuple<OneMoveCase, ParallelDesign>> {
  protected:
    void SetUp() override { useDesign(std::get<1>(GetParam())); }
};

// The goal child is the second move tried from either cell, and the goal test
// comes before the stop rule: even one thread finds it in the expansion.
TEST_P(OneMoveFromGoal, IsFoundInTheExpansion) {
    const OneMoveCase c = std::get<0>(GetParam());
    const Board board = movedFromGoal({c.blank});
    const RecordingOutput out = solve(board, c.maxThreads);
    EXPECT_EQ(solverState.status, solveSolved);
    EXPECT_EQ(bestLength(), 1);
    EXPECT_EQ(solverState.solution[0], board[15]);
    EXPECT_EQ(solverState.nodes, 0u);  // no depth-first search ran
    EXPECT_EQ(out.calls[1], "status: WD=1, PDB=1, Threads=1/" + std::to_string(c.maxThreads));
    EXPECT_EQ(out.calls[3], "available:1");
    char move[8];
    std::snprintf(move, sizeof move, " %2d", board[15]);
    EXPECT_EQ(out.output, problemText(board) + "Optimal solution is 1 moves.\r\n" + usedTime() +
                              "Solution:\r\n" + move);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OneMoveFromGoal,
    ::testing::Combine(::testing::Values(OneMoveCase{11, 4}, OneMoveCase{14, 4}, OneMoveCase{11, 1},
                                         OneMoveCase{14, 1}),
                       ::testing::Values(ParallelDesign::shared, ParallelDesign::items)));

TEST_P(SolveJobTest, WithOneThreadTheStartNodeIsSearched) {
    // Blank moved up twice: the first child fills the one-node level, the second
    // stops the expansion, so the goal two moves away is left to the search.
    const Board board = movedFromGoal({11, 7});
    const RecordingOutput out = solve(board, 1);
    EXPECT_EQ(solverState.status, solveSolved);
    EXPECT_EQ(solverState.frontierDepth, 0);
    EXPECT_EQ(out.calls[1], "status: WD=2, PDB=2, Threads=1/1");
    EXPECT_GT(solverState.nodes, 0u);
    ASSERT_EQ(bestLength(), 2);
    EXPECT_EQ(solverState.solution[0], 8);
    EXPECT_EQ(solverState.solution[1], 12);
}

TEST_P(SolveJobTest, ExchangedFourteenAndFifteenAreUnsolvable) {
    solve(movedFromGoal({11}), 4);  // leaves bestLength 1
    Board board = goalBoard;
    std::swap(board[13], board[14]);
    const RecordingOutput out = solve(board, 4);
    EXPECT_EQ(solverState.status, solveUnsolvable);
    EXPECT_EQ(bestLength(), 1);  // as the previous solve left it
    ASSERT_EQ(out.calls.size(), 6u);
    EXPECT_EQ(out.calls[1].substr(0, 18), "status: WD=4, PDB=");
    EXPECT_EQ(out.calls[2], "status:UnSolvable");
    EXPECT_EQ(out.calls[3], "available:0");
    EXPECT_EQ(out.calls[4], "output:" + problemText(board) + "UnSolvable.");
    EXPECT_EQ(out.calls[5], "finished:");
}

TEST_P(SolveJobTest, ABoardWithARepeatedTileIsRejectedBeforeAnySearch) {
    solve(movedFromGoal({11}), 4);
    Board board = goalBoard;
    board[0] = 2;  // two 2s, no 1
    const RecordingOutput out = solve(board, 4);
    EXPECT_EQ(solverState.status, solveInvalid);
    EXPECT_EQ(solverState.nodes, 0u);
    EXPECT_EQ(bestLength(), 1);
    const std::vector<std::string> expected = {
        "output:" + problemText(board), "status:Invalid", "available:0",
        "output:" + problemText(board) + invalidReport, "finished:"};
    EXPECT_EQ(out.calls, expected);
    board[0] = 16;  // a value outside 0..15
    EXPECT_EQ((solve(board, 4), solverState.status), solveInvalid);
}

// Korf's instance 82 (this program's orientation), 62 moves: many seconds of
// search however many threads run.
constexpr Board hardBoard = standardInstance(82).board;

class CancelWhenSearching : public RecordingOutput {
  public:
    void onCall() override {
        if (calls.size() == 2) searching.store(true);  // the search status line
    }
    std::atomic<bool> searching{false};
};

TEST_P(SolveJobTest, ACancelDuringTheSearchEndsWithStatusFourAndNoTrace) {
    solverState.maxThreads = 2;
    CancelWhenSearching out;
    std::thread job([&] { solveJob(hardBoard, out); });
    while (!out.searching.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    storeCancelRequest(solverState);  // what the command line's Ctrl-C does
    job.join();
    EXPECT_EQ(solverState.status, solveCancelled);
    EXPECT_EQ(bestLength(), 0);
    EXPECT_EQ(out.status, "Cancel");
    EXPECT_EQ(out.output, problemText(hardBoard) + "Cancel.");
    EXPECT_EQ(out.calls[out.calls.size() - 3], "available:0");
    for (const std::string& call : out.calls) EXPECT_NE(call.substr(0, 8), "seconds:");
}

// Cancels through requestCancel when the job makes its call number `at`.
class CancelAtCall : public RecordingOutput {
  public:
    explicit CancelAtCall(std::size_t at) : at_(at) {}
    void onCall() override {
        if (calls.size() == at_) requestCancel(solverState);
    }

  private:
    std::size_t at_;
};

TEST_P(SolveJobTest, ACancelBeforeTheSearchStartsIsNotLostToTheFrontierStage) {
    solverState.maxThreads = 2;
    CancelAtCall out(1);  // the problem text, before the frontier stores 82
    clearCancelRequest(solverState);
    solveJob(hardBoard, out);
    EXPECT_EQ(solverState.status, solveCancelled);
    EXPECT_EQ(bestLength(), 0);
    EXPECT_EQ(out.output, problemText(hardBoard) + "Cancel.");
}

TEST_P(SolveJobTest, ACancelAfterTheSearchHasEndedLeavesTheResult) {
    // Blank three up and three left: six moves, and the Manhattan distance is 6.
    Board board = goalBoard;
    int blank = 15;
    for (int step : {-4, -4, -4, -1, -1, -1}) {
        applyMove(board, blank, blank + step);
        blank += step;
    }
    for (const int32_t threads : {1, 2}) {
        solverState.maxThreads = threads;
        CancelAtCall out(3);  // the playback position: the first call after the search
        clearCancelRequest(solverState);
        solveJob(board, out);
        ASSERT_EQ(out.calls[2], "playback:0");
        EXPECT_EQ(solverState.status, solveSolved);
        EXPECT_EQ(bestLength(), 6);
        EXPECT_NE(out.output.find("Optimal solution is 6 moves."), std::string::npos);
        // Cleared before the next solve, the late request is forgotten.
        clearCancelRequest(solverState);
        RecordingOutput again = solve(board, threads);
        EXPECT_EQ(solverState.status, solveSolved);
        EXPECT_EQ(bestLength(), 6);
    }
}

TEST_P(SolveJobTest, SolutionsAreOptimalAgainstABreadthFirstOracle) {
    const auto distance = testing::positionsWithin(12);
    std::mt19937 random(17);
    const int32_t threadCounts[] = {1, 2, 3, 4, 8};
    int checked = 0;
    for (const auto& [key, length] : distance) {
        if (random() % 150 != 0) continue;
        Board board{};
        unpackBoard(key, board);
        const int32_t maxThreads = threadCounts[checked % 5];
        solve(board, maxThreads);
        ASSERT_EQ(solverState.status, solveSolved);
        ASSERT_EQ(bestLength(), length) << "threads " << maxThreads;
        ASSERT_TRUE(testing::replayReachesGoal(board, solverState.solution.data(), length));
        ++checked;
    }
    EXPECT_GT(checked, 60);
}

// The report says where it wrote each move, so a front end can mark one without
// reading the text back: each span is exactly that move's number.
TEST_P(SolveJobTest, TheReportSaysWhereEachMoveIsWritten) {
    std::mt19937 random(41);
    for (const int32_t walk : {1, 9, 10, 11, 24, 40}) {
        const Board board = testing::randomWalkFromGoal(random, walk);
        const RecordingOutput out = solve(board, 2);
        ASSERT_EQ(solverState.status, solveSolved);
        const int32_t length = bestLength();
        ASSERT_EQ(out.moveSpans.size(), static_cast<size_t>(length));
        for (int32_t i = 0; i < length; ++i) {
            const TextSpan span = out.moveSpans[static_cast<size_t>(i)];
            EXPECT_EQ(out.output.substr(static_cast<size_t>(span.begin),
                                        static_cast<size_t>(span.end - span.begin)),
                      std::to_string(solverState.solution[static_cast<size_t>(i)]))
                << "move " << i << " of " << length;
        }
    }
    // Unsolved, no spans.
    Board board = goalBoard;
    std::swap(board[13], board[14]);
    EXPECT_TRUE(solve(board, 2).moveSpans.empty());
}

TEST_P(SolveJobTest, LongerSolutionsReplayAndAgreeAcrossThreadCounts) {
    std::mt19937 random(29);
    for (int trial = 0; trial < 6; ++trial) {
        const Board board = testing::randomWalkFromGoal(random, 30 + 4 * trial);
        solve(board, 1);
        ASSERT_EQ(solverState.status, solveSolved);
        const int32_t length = bestLength();
        EXPECT_TRUE(testing::replayReachesGoal(board, solverState.solution.data(), length));
        solve(board, 3);
        ASSERT_EQ(solverState.status, solveSolved);
        EXPECT_EQ(bestLength(), length);
        EXPECT_TRUE(testing::replayReachesGoal(board, solverState.solution.data(), length));
    }
}

}  // namespace
}  // namespace fifteen
