#include "puzzle/solution_replay.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/support/walks.h"

namespace fifteen {
namespace {

// One move from the goal; the last move of a solution always slides up or left,
// since the blank ends in the bottom-right corner.
struct OneMove {
    const char* name;
    Board start;
    int32_t tile;
    char direction;
};

// Test names show the row name instead of the bytes of the row.
void PrintTo(const OneMove& row, std::ostream* os) {
    *os << row.name;
}

class OneMoveTest : public testing::TestWithParam<OneMove> {};

TEST_P(OneMoveTest, NamesTheWayTheTileSlides) {
    std::string directions;
    EXPECT_TRUE(replaySolution(GetParam().start, {GetParam().tile}, directions));
    EXPECT_EQ(directions, std::string(1, GetParam().direction));
}

INSTANTIATE_TEST_SUITE_P(
    Directions, OneMoveTest,
    testing::Values(
        // Blank in cell 14, tile 15 to its right slides left.
        OneMove{"left", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 15}, 15, 'L'},
        // Blank in cell 11, tile 12 below it slides up.
        OneMove{"up", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0, 13, 14, 15, 12}, 12, 'U'}),
    [](const testing::TestParamInfo<OneMove>& testCase) { return testCase.param.name; });

TEST(SolutionReplayTest, TwoMovesAndTheirReverse) {
    // Goal, then the blank moved up (12 down) and left (11 right): undo with 11
    // sliding left and 12 sliding up.
    const Board start = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 11, 13, 14, 15, 12};
    std::string directions;
    EXPECT_TRUE(replaySolution(start, {11, 12}, directions));
    EXPECT_EQ(directions, "LU");
    // Playing those moves backwards from the goal: 12 down, then 11 right.
    Board board = goalBoard;
    EXPECT_FALSE(replaySolution(board, {12, 11}, directions));
    EXPECT_EQ(directions, "DR");
}

TEST(SolutionReplayTest, GoalNeedsNoMoves) {
    std::string directions = "stale";
    EXPECT_TRUE(replaySolution(goalBoard, {}, directions));
    EXPECT_EQ(directions, "");
}

TEST(SolutionReplayTest, RejectsIllegalAndShortSolutions) {
    const Board oneAway = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 15};
    std::string directions;
    EXPECT_FALSE(replaySolution(oneAway, {}, directions)) << "stops short of the goal";
    EXPECT_FALSE(replaySolution(oneAway, {1}, directions)) << "tile 1 is not next to the blank";
    EXPECT_FALSE(replaySolution(oneAway, {0}, directions)) << "the blank is not a tile";
    EXPECT_FALSE(replaySolution(oneAway, {16}, directions));
    EXPECT_FALSE(replaySolution(oneAway, {15, 15}, directions)) << "overshoots the goal";
    EXPECT_EQ(directions, "LR");
    EXPECT_FALSE(replaySolution(goalBoard, {11}, directions));
    EXPECT_EQ(directions, "");
}

TEST(SolutionReplayTest, ARandomWalkTakenBackReachesTheGoal) {
    std::mt19937 random(7);
    const std::vector<int32_t> tilesMoved = test_support::randomWalkTiles(random, 60);
    const Board board = *test_support::replay(goalBoard, tilesMoved);
    const std::vector<int32_t> back(tilesMoved.rbegin(), tilesMoved.rend());
    std::string directions;
    EXPECT_TRUE(replaySolution(board, back, directions));
    EXPECT_EQ(directions.size(), back.size());
    EXPECT_EQ(directions.find_first_not_of("UDLR"), std::string::npos);
}

}  // namespace
}  // namespace fifteen
