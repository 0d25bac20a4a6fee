// Positions written for the blank first, through the built fifteen-solve: the
// published Korf instances give their published lengths, and every answer replays
// to the blank-first goal in the input's own tile numbers and directions.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "puzzle/goal.h"
#include "tests/support/distances.h"
#include "tests/support/positions.h"
#include "tests/support/walks.h"

namespace fifteen::cli {
namespace {

using testing_support::ProcessResult;
using testing_support::runProcess;

std::vector<nlohmann::json> jsonLines(const std::string& out) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) lines.push_back(nlohmann::json::parse(line));
    return lines;
}

Board boardOf(const std::string& text) {
    Board board{};
    std::istringstream in(text);
    for (int32_t& cell : board) in >> cell;
    return board;
}

struct Written {
    std::string text;
    int32_t length;  // optimal, -1 for an unsolvable position
};

// Runs the positions in one process with --goal blank-first and checks each answer.
void expectAnswers(const std::vector<Written>& positions) {
    std::vector<std::string> args = {FIFTEEN_SOLVE_PATH, "--goal", "blank-first",
                                     "--format",         "json",   "--verify",
                                     "--threads",        "2"};
    for (const Written& p : positions) args.push_back(p.text);
    const ProcessResult result = runProcess(args);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto lines = jsonLines(result.out);
    ASSERT_EQ(lines.size(), positions.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(positions[i].text);
        EXPECT_EQ(lines[i].at("goal"), "blank-first");
        if (positions[i].length < 0) {
            EXPECT_EQ(lines[i].at("status"), "unsolvable");
            continue;
        }
        ASSERT_EQ(lines[i].at("status"), "solved");
        EXPECT_EQ(lines[i].at("length"), positions[i].length);
        const auto moves = lines[i].at("moves").get<std::vector<int32_t>>();
        const Board board = boardOf(positions[i].text);
        EXPECT_EQ(test_support::replay(board, moves), blankFirstGoalBoard);
        EXPECT_EQ(lines[i].at("directions"), test_support::slideLetters(board, moves));
    }
}

// The quickest instances by their node counts (bench/data/korf100_nodes.tsv).
TEST(GoalTest, PublishedInstancesReadAsPublishedGiveThePublishedLengths) {
    std::ifstream data(FIFTEEN_SOURCE_DIR "/bench/data/korf100_published.tsv");
    ASSERT_TRUE(data);
    std::vector<Written> quick;
    std::string line;
    while (std::getline(data, line)) {
        std::istringstream fields(line);
        int number = 0;
        std::string cells;
        int32_t length = 0;
        if (line.empty() || line[0] == '#' || !(fields >> number)) continue;
        fields.ignore(1);
        std::getline(fields, cells, '\t');
        fields >> length;
        for (const int n : {55, 12, 79, 85, 73, 94}) {
            if (n == number) quick.push_back({cells, length});
        }
    }
    ASSERT_EQ(quick.size(), 6U);
    expectAnswers(quick);
}

// Against the breadth-first distances from the blank-first goal itself.
TEST(GoalTest, PositionsNearTheBlankFirstGoalGetTheirBreadthFirstDistance) {
    const auto distance = test_support::positionsWithin(blankFirstGoalBoard, 10);
    std::vector<Written> sample;
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, distance.size() - 1);
    for (int i = 0; i < 40; ++i) {
        auto entry = distance.begin();
        std::advance(entry, static_cast<std::ptrdiff_t>(pick(random)));
        Board board{};
        unpackBoard(entry->first, board);
        sample.push_back({test_support::positionText(board), entry->second});
    }
    Board swapped = blankFirstGoalBoard;
    std::swap(swapped[1], swapped[2]);
    sample.push_back({test_support::positionText(swapped), -1});
    sample.push_back({test_support::positionText(blankFirstGoalBoard), 0});
    expectAnswers(sample);
}

// The report shows the board as written and the moves in its numbers; without
// --goal nothing changes, with --goal blank-last only the goal field is added.
TEST(GoalTest, TextReportShowsTheBoardAsWritten) {
    const std::string written = "1 5 2 3 4 0 6 7 8 9 10 11 12 13 14 15";  // 5 down, 1 right
    const ProcessResult result =
        runProcess({FIFTEEN_SOLVE_PATH, "--goal", "blank-first", "--verify", written});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::istringstream report(result.out);
    std::string line;
    std::string cells;
    for (int row = 0; row < 4 && std::getline(report, line); ++row) cells += line;
    EXPECT_EQ(boardOf(cells), boardOf(written));
    EXPECT_NE(result.out.find("Optimal solution is 2 moves."), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Solution:\n  5  1\n"), std::string::npos) << result.out;

    const std::string text = test_support::standardInstanceText(55);
    const ProcessResult plain = runProcess({FIFTEEN_SOLVE_PATH, "--format", "json", text});
    const ProcessResult named =
        runProcess({FIFTEEN_SOLVE_PATH, "--format", "json", "--goal", "blank-last", text});
    ASSERT_EQ(plain.exitCode, 0);
    ASSERT_EQ(named.exitCode, 0);
    const nlohmann::json before = jsonLines(plain.out).at(0);
    const nlohmann::json after = jsonLines(named.out).at(0);
    EXPECT_FALSE(before.contains("goal"));
    EXPECT_EQ(after.at("goal"), "blank-last");
    EXPECT_EQ(after.at("moves"), before.at("moves"));
}

}  // namespace
}  // namespace fifteen::cli
