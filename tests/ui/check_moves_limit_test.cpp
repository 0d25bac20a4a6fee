// The longest move list Check my moves takes: as many moves as a solution holds
// (the checked moves are shown as one), played and returned in full; one more is
// refused with the limit named.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/solver_state.h"
#include "tests/support/walks.h"
#include "ui/dialog_actions.h"

namespace fifteen::ui {
namespace {

// count moves from the goal, tile 15 and the blank trading places back and
// forth, written as letters (right, left, right, ...).
std::vector<WrittenMove> backAndForth(int32_t count) {
    std::vector<WrittenMove> moves;
    for (int32_t i = 0; i < count; ++i) moves.push_back({0, i % 2 == 0 ? 'R' : 'L'});
    return moves;
}

TEST(CheckMovesLimit, TakesAsManyMovesAsASolutionHoldsAndRefusesOneMore) {
    std::string error;
    const auto longest = playWrittenMoves(goalBoard, backAndForth(solutionCapacity), error);
    ASSERT_TRUE(longest.has_value()) << error;
    ASSERT_EQ(longest->size(), static_cast<std::size_t>(solutionCapacity));
    EXPECT_EQ(
        test_support::replay(goalBoard, *longest),
        solutionCapacity % 2 == 0 ? goalBoard : *test_support::replay(goalBoard, std::vector{15}));

    const auto shorter = playWrittenMoves(goalBoard, backAndForth(solutionCapacity - 1), error);
    ASSERT_TRUE(shorter.has_value()) << error;
    EXPECT_EQ(shorter->size(), static_cast<std::size_t>(solutionCapacity - 1));

    error.clear();
    EXPECT_FALSE(playWrittenMoves(goalBoard, backAndForth(solutionCapacity + 1), error));
    EXPECT_NE(error.find(std::to_string(solutionCapacity)), std::string::npos) << error;
}

}  // namespace
}  // namespace fifteen::ui
