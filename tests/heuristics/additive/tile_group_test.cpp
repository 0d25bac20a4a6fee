#include "heuristics/additive/tile_group.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace fifteen {
namespace {

uint32_t rankBySize(const uint8_t* cells, int32_t size) {
    switch (size) {
        case 7:
            return rankGroupCells<7>(cells);
        case 8:
            return rankGroupCells<8>(cells);
        default:
            return rankGroupCells(cells, size);
    }
}

// Unranking then ranking every rank gives it back, the cells are distinct and the
// mask is theirs: the ranking is a bijection onto the placements.
class GroupRankRoundTrip : public ::testing::TestWithParam<int32_t> {};

TEST_P(GroupRankRoundTrip, EveryRankOfTheFullRange) {
    const int32_t size = GetParam();
    const int64_t count = groupEntryCount(size);
    uint8_t cells[maxGroupSize];
    for (int64_t r = 0; r < count; ++r) {
        const uint32_t mask = unrankGroupCells(static_cast<uint32_t>(r), size, cells);
        uint32_t seen = 0;
        for (int32_t i = 0; i < size; ++i) seen |= 1u << cells[i];
        ASSERT_EQ(mask, seen) << "rank " << r;
        ASSERT_EQ(__builtin_popcount(mask), size) << "rank " << r;
        ASSERT_EQ(rankBySize(cells, size), r);
    }
}

INSTANTIATE_TEST_SUITE_P(SmallGroups, GroupRankRoundTrip, ::testing::Values(1, 2, 3, 4, 5, 6));

// The two large groups: random placements and the edges of the range.
TEST(GroupRank, LargeGroupsRoundTripOnSamplesAndEdges) {
    std::mt19937 rng(17);
    for (int32_t size : {7, 8}) {
        const int64_t count = groupEntryCount(size);
        std::vector<int64_t> ranks = {0, 1, 2, 15, 16, count / 2, count - 2, count - 1};
        std::uniform_int_distribution<int64_t> any(0, count - 1);
        for (int k = 0; k < 200000; ++k) ranks.push_back(any(rng));
        uint8_t cells[maxGroupSize];
        for (int64_t r : ranks) {
            unrankGroupCells(static_cast<uint32_t>(r), size, cells);
            ASSERT_EQ(rankBySize(cells, size), r) << "size " << size;
            ASSERT_EQ(rankGroupCells(cells, size), r) << "size " << size;
        }
        // Random placements the other way round: rank, then unrank.
        std::vector<uint8_t> all(16);
        for (int k = 0; k < 20000; ++k) {
            for (uint8_t c = 0; c < 16; ++c) all[c] = c;
            std::shuffle(all.begin(), all.end(), rng);
            const uint32_t r = rankBySize(all.data(), size);
            ASSERT_LT(r, count);
            unrankGroupCells(r, size, cells);
            for (int32_t i = 0; i < size; ++i) ASSERT_EQ(cells[i], all[static_cast<size_t>(i)]);
        }
    }
}

TEST(GroupRank, SplitCoversEveryTileOnce) {
    int32_t seen[16] = {};
    for (const TileGroup* g : {&groupOf7, &groupOf8}) {
        for (int32_t i = 0; i < g->size; ++i) ++seen[g->tiles[static_cast<size_t>(i)]];
    }
    EXPECT_EQ(seen[0], 0);
    for (int t = 1; t < 16; ++t) EXPECT_EQ(seen[t], 1) << "tile " << t;
}

// The reflected goal is the goal: tile t's goal cell reflects to the goal cell
// of its reflected tile, and both maps are involutions.
TEST(GroupRank, ReflectionKeepsTheGoal) {
    for (size_t c = 0; c < 16; ++c) {
        const size_t t = static_cast<size_t>(goalBoard[c]);
        EXPECT_EQ(goalBoard[transposedCell[c]], transposedTile[t]) << "cell " << c;
        EXPECT_EQ(transposedCell[transposedCell[c]], c);
        EXPECT_EQ(transposedTile[transposedTile[c]], c);
        EXPECT_EQ(transposedCell[c], (c % 4) * 4 + c / 4);
    }
}

}  // namespace
}  // namespace fifteen
