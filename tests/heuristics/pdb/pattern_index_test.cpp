#include "heuristics/pdb/pattern_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <string>

#include "tests/heuristics/pdb/pdb_test_support.h"

namespace fifteen {
namespace {

using testing::choose;
using testing::patternFromText;
using testing::referenceIndex;

class PatternIndex : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { fillRankTables(); }
};

bool isValidPattern(const PatternBoard& pattern) {
    int32_t counts[4] = {};
    for (TileClass c : pattern) {
        if (c < 0 || c > 3) return false;
        ++counts[c];
    }
    return counts[0] == 1 && counts[1] == 5 && counts[2] == 5 && counts[3] == 5;
}

PatternBoard randomPattern(std::mt19937& rng) {
    PatternBoard pattern = patternFromText("0111112222233333");
    std::shuffle(pattern.begin(), pattern.end(), rng);
    return pattern;
}

TEST_F(PatternIndex, RankTablesHoldBinomialsAndTheirWeights) {
    for (int32_t n = 0; n < 16; ++n) {
        for (int32_t k = 0; k <= 5; ++k) {
            const int64_t c = choose(n, k);
            EXPECT_EQ(rankTable.binomial[n][k], c) << n << "," << k;
            EXPECT_EQ(rankTable.weight1[n][k], k == 0 ? 0 : 16 * c) << n << "," << k;
            EXPECT_EQ(rankTable.weight2[n][k], k == 0 ? 0 : 48'048 * c) << n << "," << k;
        }
    }
    const int32_t row15[6] = {1, 15, 105, 455, 1365, 3003};
    const int32_t weightRow14[6] = {0, 224, 1456, 5824, 16016, 32032};
    for (int32_t k = 0; k <= 5; ++k) {
        EXPECT_EQ(rankTable.binomial[15][k], row15[k]);
        EXPECT_EQ(rankTable.weight1[14][k], weightRow14[k]);
    }
    EXPECT_EQ(rankTable.weight2[9][5], 6'054'048);
}

struct IndexExample {
    PdbIndex index;
    const char* pattern;  // one class digit per cell
};

void PrintTo(const IndexExample& example, std::ostream* out) {
    *out << example.index << " " << example.pattern;
}

class PatternIndexExample : public PatternIndex,
                            public ::testing::WithParamInterface<IndexExample> {};

TEST_P(PatternIndexExample, UnranksToItsPatternAndBack) {
    const PatternBoard expected = patternFromText(GetParam().pattern);
    PatternBoard pattern;
    pattern.fill(-7);
    const int32_t blank = unrankPattern(GetParam().index, pattern);
    EXPECT_EQ(pattern, expected);
    EXPECT_EQ(blank, std::find(expected.begin(), expected.end(), 0) - expected.begin());
    EXPECT_EQ(rankPattern(expected), GetParam().index);
    EXPECT_EQ(referenceIndex(expected), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(KnownIndexes, PatternIndexExample,
                         ::testing::Values(IndexExample{0, "0333332222211111"},
                                           IndexExample{1, "3033332222211111"},
                                           IndexExample{15, "3333322222111110"},
                                           IndexExample{48'047, "1111133333222220"},
                                           IndexExample{12'108'095, "1111122222333330"}),
                         [](const ::testing::TestParamInfo<IndexExample>& param) {
                             return "Index" + std::to_string(param.param.index);
                         });

TEST_F(PatternIndex, GoalPatternsHaveTheirKnownIndexes) {
    EXPECT_EQ(rankPattern(goalPatternA), 2'962'479);
    EXPECT_EQ(rankPattern(goalPatternB), 432'207);
}

// Every index names a valid pattern, a different one each (ranking inverts it),
// and agrees with the index by its definition.
TEST_F(PatternIndex, UnrankThenRankIsTheIdentityOverAllStates) {
    PatternBoard pattern;
    int64_t failures = 0;
    for (PdbIndex index = 0; index < 12'108'096 && failures < 5; ++index) {
        pattern.fill(-1);
        const int32_t blank = unrankPattern(index, pattern);
        const bool valid = isValidPattern(pattern) && pattern[static_cast<std::size_t>(blank)] == 0;
        const PdbIndex back = rankPattern(pattern);
        const bool agrees = index % 7 != 0 || referenceIndex(pattern) == index;
        if (!valid || back != index || !agrees) {
            ++failures;
            ADD_FAILURE() << "index " << index << " ranks back to " << back;
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST_F(PatternIndex, RankThenUnrankReturnsRandomPatterns) {
    std::mt19937 rng(31);
    for (int i = 0; i < 20'000; ++i) {
        const PatternBoard pattern = randomPattern(rng);
        const PdbIndex index = rankPattern(pattern);
        ASSERT_EQ(index, referenceIndex(pattern));
        ASSERT_GE(index, 0);
        ASSERT_LT(index, 12'108'096);
        PatternBoard back;
        back.fill(-1);
        unrankPattern(index, back);
        ASSERT_EQ(back, pattern);
    }
}

// The shortcut the builds take for a move along a row, against ranking the moved
// pattern afresh, from random patterns with the blank in every cell.
TEST_F(PatternIndex, SideMoveIndexEqualsTheRankOfTheMovedPattern) {
    std::mt19937 rng(47);
    int moves = 0;
    for (int i = 0; i < 20'000; ++i) {
        PatternBoard pattern = randomPattern(rng);
        const PdbIndex index = rankPattern(pattern);
        const auto blank = static_cast<int32_t>(
            std::find(pattern.begin(), pattern.end(), classBlank) - pattern.begin());
        for (const int32_t cell : {blank - 1, blank + 1}) {
            if (cell < 0 || cell > 15 || cell / 4 != blank / 4) continue;
            PatternBoard moved = pattern;
            moved[static_cast<std::size_t>(blank)] = moved[static_cast<std::size_t>(cell)];
            moved[static_cast<std::size_t>(cell)] = classBlank;
            ASSERT_EQ(rankAfterSideMove(index, blank, cell), rankPattern(moved))
                << "pattern " << i << " blank " << blank << " cell " << cell;
            ++moves;
        }
    }
    EXPECT_GT(moves, 20'000);
}

// The scan ends at the eleventh cell that is the blank or a group tile; whatever
// the later cells hold does not count, not even values no class has.
TEST_F(PatternIndex, RankingStopsAtTheLastSpecialCell) {
    const PatternBoard lastAtTen = patternFromText("2112021212133333");
    const PdbIndex expected = referenceIndex(lastAtTen);
    const TileClass garbage[] = {0, 1, 2, 3, 99, -1, 1'000'000};
    for (TileClass g : garbage) {
        PatternBoard spoiled = lastAtTen;
        for (std::size_t cell = 11; cell < 16; ++cell) spoiled[cell] = g;
        EXPECT_EQ(rankPattern(spoiled), expected) << "garbage " << g;
    }

    std::mt19937 rng(5);
    for (int i = 0; i < 2000; ++i) {
        const PatternBoard pattern = randomPattern(rng);
        std::size_t last = 15;
        while (pattern[last] == classOther) --last;
        PatternBoard spoiled = pattern;
        for (std::size_t cell = last + 1; cell < 16; ++cell) {
            spoiled[cell] = garbage[rng() % std::size(garbage)];
        }
        ASSERT_EQ(rankPattern(spoiled), rankPattern(pattern)) << "last special cell " << last;
    }
}

}  // namespace
}  // namespace fifteen
