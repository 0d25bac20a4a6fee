#include "puzzle/goal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "puzzle/moves.h"
#include "puzzle/position_parser.h"
#include "puzzle/solution_replay.h"
#include "tests/support/distances.h"

namespace fifteen {
namespace {

constexpr int32_t radius = 12;

Board randomBoard(std::mt19937& random) {
    Board board{};
    for (std::size_t cell = 0; cell < 16; ++cell) board[cell] = static_cast<int32_t>(cell);
    std::shuffle(board.begin(), board.end(), random);
    return board;
}

TEST(Goal, TheTurnIsItsOwnInverseAndCarriesGoalOntoGoal) {
    EXPECT_EQ(turnedBoard(blankFirstGoalBoard), goalBoard);
    EXPECT_EQ(boardForSearch(blankFirstGoalBoard, Goal::blankFirst), goalBoard);
    std::mt19937 random(20);
    for (int i = 0; i < 1000; ++i) {
        const Board board = randomBoard(random);
        EXPECT_EQ(turnedBoard(turnedBoard(board)), board);
        EXPECT_EQ(boardForSearch(board, Goal::blankLast), board);
        EXPECT_TRUE(isValidBoard(turnedBoard(board)));
    }
    for (const Goal goal : {Goal::blankLast, Goal::blankFirst}) {
        EXPECT_EQ(parseGoal(goalName(goal)), goal);
    }
    EXPECT_FALSE(parseGoal("blank-middle"));
}

// One shortest way to the goal, read off the breadth-first distances.
std::vector<int32_t> descend(Board board, const std::unordered_map<BoardKey, int32_t>& distance) {
    std::vector<int32_t> tiles;
    for (int32_t d = distance.at(packBoard(board)); d > 0; --d) {
        const int z = blankCell(board);
        const auto b = static_cast<std::size_t>(z);
        for (std::size_t k = 0; k < static_cast<std::size_t>(neighborCount[b]); ++k) {
            const int n = neighbors[b][k];
            const int32_t tile = board[static_cast<std::size_t>(n)];
            applyMove(board, z, n);
            const auto found = distance.find(packBoard(board));
            if (found != distance.end() && found->second == d - 1) {
                tiles.push_back(tile);
                break;
            }
            applyMove(board, n, z);
        }
    }
    return tiles;
}

char reversed(char letter) {
    switch (letter) {
        case 'U':
            return 'D';
        case 'D':
            return 'U';
        case 'L':
            return 'R';
        default:
            return 'L';
    }
}

// Every position within a dozen moves of the blank-first goal, found by its own
// breadth-first search: turned, it lies exactly as far from the program's goal,
// and a shortest solution of the turned board, turned back, is a shortest
// solution of the position as written, every move sliding the opposite way.
TEST(Goal, DistancesAndMovesMatchABreadthFirstSearchFromTheBlankFirstGoal) {
    const auto fromBlankFirst = test_support::positionsWithin(blankFirstGoalBoard, radius);
    const auto fromGoal = test_support::positionsWithin(radius);
    ASSERT_EQ(fromBlankFirst.size(), fromGoal.size());
    for (const auto& [key, d] : fromBlankFirst) {
        Board written{};
        unpackBoard(key, written);
        const Board searched = boardForSearch(written, Goal::blankFirst);
        const auto found = fromGoal.find(packBoard(searched));
        ASSERT_NE(found, fromGoal.end()) << formatPosition(written);
        ASSERT_EQ(found->second, d) << formatPosition(written);

        const std::vector<int32_t> searchMoves = descend(searched, fromGoal);
        const std::vector<int32_t> moves = movesForGoal(searchMoves, Goal::blankFirst);
        std::string searchDirections;
        std::string directions;
        ASSERT_TRUE(replaySolution(searched, searchMoves, searchDirections));
        ASSERT_TRUE(replaySolution(written, moves, directions, blankFirstGoalBoard))
            << formatPosition(written);
        ASSERT_EQ(static_cast<int32_t>(moves.size()), d);
        std::string turnedBack = searchDirections;
        std::transform(turnedBack.begin(), turnedBack.end(), turnedBack.begin(), reversed);
        ASSERT_EQ(directions, turnedBack);
    }
}

// The data lines of a data file (its '#' lines left out).
std::vector<std::string> dataLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    }
    return lines;
}

// The tree's copy of Korf's instances is the published list, turned.
TEST(Goal, TurningThePublishedInstancesGivesTheTreesCopyLineForLine) {
    const auto published = dataLines(FIFTEEN_SOURCE_DIR "/bench/data/korf100_published.tsv");
    const auto ours = dataLines(FIFTEEN_SOURCE_DIR "/bench/data/korf100.tsv");
    ASSERT_EQ(published.size(), 100U);
    ASSERT_EQ(ours.size(), published.size());
    for (std::size_t i = 0; i < published.size(); ++i) {
        std::istringstream fields(published[i]);
        int number = 0;
        Board board{};
        int32_t length = 0;
        fields >> number;
        for (int32_t& cell : board) fields >> cell;
        fields >> length;
        ASSERT_TRUE(fields && isValidBoard(board)) << published[i];
        const Board turned = boardForSearch(board, Goal::blankFirst);
        std::string line = std::to_string(number);
        line += '\t';
        for (std::size_t cell = 0; cell < 16; ++cell) {
            if (cell > 0) line += ' ';
            line += std::to_string(turned[cell]);
        }
        line += '\t';
        line += std::to_string(length);
        EXPECT_EQ(line, ours[i]);
    }
}

}  // namespace
}  // namespace fifteen
