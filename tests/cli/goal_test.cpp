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
#include "puzzle/move_text.h"
#include "tests/support/distances.h"
#include "tests/support/positions.h"
#include "tests/support/walks.h"

namespace fifteen::cli {
namespace {

using testing_support::boardOf;
using testing_support::jsonLines;
using testing_support::ProcessResult;
using testing_support::runProcess;

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

// Verdicts and reviews of positions written for the blank first name the input's
// tiles and ways: the blank-last answers of the turned positions, turned back, are
// the oracle; each verdict must also be a legal move of the board as written.
TEST(GoalTest, AnalysesAndReviewsSpeakTheInputsNumbering) {
    std::mt19937 random(11);
    std::vector<std::string> written{FIFTEEN_SOLVE_PATH, "--goal", "blank-first", "--analyse",
                                     "--review",         ":",      "--format",    "json",
                                     "--threads",        "2"};
    std::vector<std::string> turned{FIFTEEN_SOLVE_PATH, "--analyse", "--review",  ":",
                                    "--format",         "json",      "--threads", "2"};
    std::vector<Board> boards;
    for (int i = 0; i < 6; ++i) {
        // Undoing part of a walk from the goal: legal moves of the walk's end.
        std::vector<int32_t> walk = test_support::randomWalkTiles(random, 14 + i);
        const Board searched = *test_support::replay(goalBoard, walk);
        std::string tiles, turnedTiles;
        for (size_t m = 0; m < 10; ++m) {
            turnedTiles += " " + std::to_string(walk[walk.size() - 1 - m]);
            tiles += " " + std::to_string(turnedTile(walk[walk.size() - 1 - m]));
        }
        const Board board = turnedBoard(searched);
        boards.push_back(board);
        written.push_back(test_support::positionText(board) + " :" + tiles);
        turned.push_back(test_support::positionText(searched) + " :" + turnedTiles);
    }
    const ProcessResult mine = runProcess(written);
    const ProcessResult oracle = runProcess(turned);
    ASSERT_EQ(mine.exitCode, 0) << mine.err;
    ASSERT_EQ(oracle.exitCode, 0) << oracle.err;
    const auto got = jsonLines(mine.out);
    const auto want = jsonLines(oracle.out);
    ASSERT_EQ(got.size(), boards.size());
    ASSERT_EQ(want.size(), boards.size());
    const auto turnedWay = [](const std::string& way) {
        return std::string(1, way == "U" ? 'D' : way == "D" ? 'U' : way == "L" ? 'R' : 'L');
    };
    for (std::size_t i = 0; i < boards.size(); ++i) {
        SCOPED_TRACE(written[i + 10]);
        const nlohmann::json& analysis = got[i].at("analysis");
        ASSERT_EQ(analysis.size(), want[i].at("analysis").size());
        const int32_t blank = test_support::blankCell(boards[i]);
        for (const nlohmann::json& verdict : analysis) {
            const auto tile = verdict.at("tile").get<int32_t>();
            const auto way = verdict.at("direction").get<std::string>();
            const int32_t cell = moveCell(boards[i], blank, WrittenMove{tile, 0});
            ASSERT_GE(cell, 0) << tile;
            EXPECT_EQ(way, std::string(1, directionOfMove(blank, cell)));
            bool matched = false;
            for (const nlohmann::json& other : want[i].at("analysis")) {
                if (other.at("tile") != turnedTile(tile)) continue;
                matched = true;
                EXPECT_EQ(turnedWay(other.at("direction").get<std::string>()), way);
                EXPECT_EQ(other.at("length"), verdict.at("length"));
                EXPECT_EQ(other.at("optimal"), verdict.at("optimal"));
            }
            EXPECT_TRUE(matched) << tile;
        }
        const nlohmann::json& review = got[i].at("review");
        const nlohmann::json& expected = want[i].at("review");
        EXPECT_EQ(review.at("distances"), expected.at("distances"));
        EXPECT_EQ(review.at("lost"), expected.at("lost"));
        auto moves = expected.at("moves").get<std::vector<int32_t>>();
        for (int32_t& tile : moves) tile = turnedTile(tile);
        EXPECT_EQ(review.at("moves").get<std::vector<int32_t>>(), moves);
        EXPECT_EQ(got[i].at("length"), want[i].at("length"));
        const auto solution = got[i].at("moves").get<std::vector<int32_t>>();
        EXPECT_EQ(test_support::replay(boards[i], solution), blankFirstGoalBoard);
    }
}

}  // namespace
}  // namespace fifteen::cli
