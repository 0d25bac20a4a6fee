// fifteen-solve --analyse and --review, run as a child process: every verdict and
// distance of the JSON form against breadth-first distances, and Ctrl-C.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <thread>

#include "child_process.h"
#include "tests/support/distances.h"
#include "tests/support/positions.h"
#include "tests/support/walks.h"

namespace fifteen::cli {
namespace {

using testing_support::ChildProcess;
using testing_support::jsonLines;
using testing_support::ProcessResult;
using testing_support::runProcess;

const std::string solver = FIFTEEN_SOLVE_PATH;

const std::unordered_map<BoardKey, int32_t>& oracle() {
    static const auto distances = test_support::positionsWithin(12);
    return distances;
}

int32_t distanceOf(const Board& board) {
    return oracle().at(packBoard(board));
}

Board play(const Board& board, int32_t tile) {
    const std::optional<Board> after = test_support::replay(board, {&tile, 1});
    EXPECT_TRUE(after.has_value()) << "tile " << tile;
    return after.value_or(board);
}

TEST(AnalysisCliTest, EveryVerdictMatchesBreadthFirstDistances) {
    std::mt19937 random(1818);
    std::vector<std::string> args = {solver, "--analyse", "--format", "json", "--threads", "2"};
    std::vector<Board> boards;
    for (int i = 0; i < 6; ++i) {
        boards.push_back(test_support::randomWalkFromGoal(random, 5 + i));
        args.push_back(test_support::positionText(boards.back()));
    }
    const ProcessResult result = runProcess(args);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<nlohmann::json> lines = jsonLines(result.out);
    ASSERT_EQ(lines.size(), boards.size());
    for (std::size_t i = 0; i < boards.size(); ++i) {
        const int32_t length = distanceOf(boards[i]);
        ASSERT_EQ(lines[i].at("length"), length);
        // The moves field keeps its meaning: a shortest solution.
        EXPECT_TRUE(test_support::replayReachesGoal(
            boards[i], lines[i].at("moves").get<std::vector<int32_t>>()));
        const nlohmann::json& analysis = lines[i].at("analysis");
        EXPECT_EQ(analysis.size(),
                  static_cast<std::size_t>(
                      neighborCount[static_cast<std::size_t>(test_support::blankCell(boards[i]))]));
        for (const nlohmann::json& move : analysis) {
            const int32_t after = distanceOf(play(boards[i], move.at("tile").get<int32_t>()));
            EXPECT_EQ(move.at("length"), after);
            EXPECT_EQ(move.at("optimal"), after == length - 1);
        }
    }
}

TEST(AnalysisCliTest, ReviewDistancesAndLostMovesMatchBreadthFirstDistances) {
    std::mt19937 random(81);
    const Board start = test_support::randomWalkFromGoal(random, 6);
    // Each step takes the blank's next neighbour in turn, moves back included.
    std::vector<int32_t> tiles;
    Board board = start;
    std::string moves;
    std::vector<int32_t> expected;
    std::vector<int32_t> lost;
    for (int step = 0; step < 6; ++step) {
        const auto blank = static_cast<std::size_t>(test_support::blankCell(board));
        const int32_t n = neighbors[blank][static_cast<std::size_t>(step % neighborCount[blank])];
        const int32_t tile = board[static_cast<std::size_t>(n)];
        const int32_t before = distanceOf(board);
        board = play(board, tile);
        tiles.push_back(tile);
        moves += std::to_string(tile) + " ";
        expected.push_back(distanceOf(board));
        if (expected.back() > before) lost.push_back(step + 1);
    }
    const ProcessResult result = runProcess(
        {solver, "--format", "json", "--review", moves, test_support::positionText(start)});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const nlohmann::json review = jsonLines(result.out).at(0).at("review");
    EXPECT_EQ(review.at("moves").get<std::vector<int32_t>>(), tiles);
    EXPECT_EQ(review.at("distances").get<std::vector<int32_t>>(), expected);
    EXPECT_EQ(review.at("lost").get<std::vector<int32_t>>(), lost);
    EXPECT_EQ(review.at("ended"), expected.back());
    EXPECT_TRUE(review.at("illegalMove").is_null());
}

TEST(AnalysisCliTest, InterruptCancelsARunningAnalysis) {
    const std::string goal = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 0";
    ChildProcess child({solver, "--analyse", "--format", "json", "--threads", "1", goal,
                        test_support::standardInstanceText(60)});
    std::string line;
    ASSERT_TRUE(child.readLine(line, 120000)) << "no first answer";
    EXPECT_EQ(nlohmann::json::parse(line).at("analysis").size(), 2U);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    child.sendSignal(SIGINT);
    const bool answered = child.readLine(line, 60000);
    if (!answered) child.sendSignal(SIGKILL);
    ASSERT_TRUE(answered) << "the analysis went on after SIGINT";
    EXPECT_EQ(nlohmann::json::parse(line).at("status"), "cancelled");
    EXPECT_EQ(child.finish().exitCode, 130);
}

}  // namespace
}  // namespace fifteen::cli
