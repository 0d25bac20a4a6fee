// --review in letters for positions written for the blank first: each letter is
// the way a tile slides on the board as written, so the review must play the
// tiles those letters name there and give their distances to the blank-first
// goal (breadth-first from that goal).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "child_process.h"
#include "puzzle/goal.h"
#include "tests/support/distances.h"
#include "tests/support/positions.h"
#include "tests/support/walks.h"

namespace fifteen::cli {
namespace {

using testing_support::jsonLines;
using testing_support::ProcessResult;
using testing_support::runProcess;

// count random legal tiles from board (moves straight back allowed).
std::vector<int32_t> randomTiles(std::mt19937& random, Board board, int32_t count) {
    std::vector<int32_t> tiles;
    for (int32_t i = 0; i < count; ++i) {
        const auto blank = static_cast<std::size_t>(test_support::blankCell(board));
        std::uniform_int_distribution<int32_t> pick(0, neighborCount[blank] - 1);
        const int32_t n = neighbors[blank][static_cast<std::size_t>(pick(random))];
        tiles.push_back(board[static_cast<std::size_t>(n)]);
        board = *test_support::replay(board, std::vector<int32_t>{tiles.back()});
    }
    return tiles;
}

TEST(GoalTest, ReviewLettersAreTheWaysOnTheBoardAsWritten) {
    const auto distance = test_support::positionsWithin(blankFirstGoalBoard, 12);
    std::mt19937 random(2931);
    std::vector<std::string> args = {FIFTEEN_SOLVE_PATH, "--goal", "blank-first", "--review", ":",
                                     "--format",         "json",   "--threads",   "2"};
    std::vector<Board> boards;
    std::vector<std::vector<int32_t>> played;
    for (int32_t i = 0; i < 8; ++i) {
        const Board board = turnedBoard(test_support::randomWalkFromGoal(random, 2 + i % 5));
        const std::vector<int32_t> tiles = randomTiles(random, board, 5);
        const std::string letters = test_support::slideLetters(board, tiles);
        ASSERT_EQ(letters.size(), tiles.size());
        // Letters of either case, as a user may type them.
        std::string typed;
        for (std::size_t k = 0; k < letters.size(); ++k) {
            typed += k % 2 == 0 ? letters[k] : static_cast<char>(letters[k] - 'A' + 'a');
        }
        args.push_back(test_support::positionText(board) + " : " + typed);
        boards.push_back(board);
        played.push_back(tiles);
    }
    const ProcessResult result = runProcess(args);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto lines = jsonLines(result.out);
    ASSERT_EQ(lines.size(), boards.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(args[9 + i]);
        ASSERT_EQ(lines[i].at("status"), "solved");
        EXPECT_EQ(lines[i].at("length"), distance.at(packBoard(boards[i])));
        const nlohmann::json& review = lines[i].at("review");
        EXPECT_TRUE(review.at("illegalMove").is_null());
        EXPECT_EQ(review.at("moves").get<std::vector<int32_t>>(), played[i]);
        std::vector<int32_t> expected;
        Board board = boards[i];
        for (const int32_t tile : played[i]) {
            board = *test_support::replay(board, std::vector<int32_t>{tile});
            expected.push_back(distance.at(packBoard(board)));
        }
        EXPECT_EQ(review.at("distances").get<std::vector<int32_t>>(), expected);
    }
}

}  // namespace
}  // namespace fifteen::cli
