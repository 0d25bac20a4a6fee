#include "heuristics/additive/group_db_build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <deque>
#include <vector>

namespace fifteen {
namespace {

// The database by its definition: a 0-1 breadth-first search over (cells of the
// group's tiles, cell of the blank) with no regions and no bit sets, from the
// goal (blank in cell 15). A move of the blank into a free cell costs nothing,
// into a tile of the group one. Each placement's entry is its smallest distance
// over the blank's cells.
std::vector<uint8_t> referenceGroupDb(const TileGroup& group) {
    const int32_t size = group.size;
    const auto count = static_cast<std::size_t>(groupEntryCount(size));
    std::vector<uint8_t> distance(count * 16, 0xFF);
    std::deque<std::size_t> queue;
    uint8_t cells[maxGroupSize];
    for (int32_t i = 0; i < size; ++i) {
        cells[i] = static_cast<uint8_t>(group.tiles[static_cast<std::size_t>(i)] - 1);
    }
    const std::size_t goal = rankGroupCells(cells, size) * 16 + 15;
    distance[goal] = 0;
    queue.push_back(goal);
    while (!queue.empty()) {
        const std::size_t s = queue.front();
        queue.pop_front();
        const auto blank = static_cast<int32_t>(s % 16);
        const uint32_t occupied = unrankGroupCells(static_cast<uint32_t>(s / 16), size, cells);
        for (int32_t k = 0; k < neighborCount[static_cast<std::size_t>(blank)]; ++k) {
            const int32_t n =
                neighbors[static_cast<std::size_t>(blank)][static_cast<std::size_t>(k)];
            int32_t cost = 0;
            std::size_t placement = s / 16;
            if ((occupied >> n & 1u) != 0) {
                cost = 1;
                uint8_t moved[maxGroupSize];
                std::copy(cells, cells + size, moved);
                *std::find(moved, moved + size, static_cast<uint8_t>(n)) =
                    static_cast<uint8_t>(blank);
                placement = rankGroupCells(moved, size);
            }
            const std::size_t t = placement * 16 + static_cast<std::size_t>(n);
            const int32_t d = distance[s] + cost;
            if (d < distance[t]) {
                distance[t] = static_cast<uint8_t>(d);
                if (cost == 0) {
                    queue.push_front(t);
                } else {
                    queue.push_back(t);
                }
            }
        }
    }
    std::vector<uint8_t> entries(count, 0xFF);
    for (std::size_t p = 0; p < count; ++p) {
        entries[p] = *std::min_element(&distance[p * 16], &distance[p * 16 + 16]);
    }
    return entries;
}

struct BuildCase {
    TileGroup group;
    int32_t threads;
    // Zero for the defaults, under which a reduced group is a single bucket
    // applied in one pass a layer; small values split it into many of both.
    int32_t bucketBits = 0;
    int64_t passSuccessors = 0;
};

class GroupDbBuild : public ::testing::TestWithParam<BuildCase> {};

TEST_P(GroupDbBuild, EntriesMatchThePlainBreadthFirstSearch) {
    const BuildCase& c = GetParam();
    const std::vector<uint8_t> expected = referenceGroupDb(c.group);
    std::vector<uint8_t> entries(expected.size(), 0xEE);
    std::vector<int64_t> layers;
    int64_t lastReached = 0;
    int32_t calls = 0;
    GroupBuildOptions options;
    options.threads = c.threads;
    options.bucketBits = c.bucketBits;
    options.passSuccessors = c.passSuccessors;
    options.layerSizes = &layers;
    options.progress = [&](int32_t depth, int64_t reached) {
        EXPECT_EQ(depth, calls++);
        EXPECT_GE(reached, lastReached);
        lastReached = reached;
    };
    const int32_t maxDepth = buildGroupDb(c.group, entries.data(), options);
    ASSERT_EQ(maxDepth, *std::max_element(expected.begin(), expected.end()));
    for (std::size_t p = 0; p < expected.size(); ++p) {
        ASSERT_EQ(entries[p], expected[p]) << "placement " << p;
    }
    // Every placement is reached, each in the layer of its entry.
    EXPECT_EQ(lastReached, static_cast<int64_t>(expected.size()));
    ASSERT_EQ(layers.size(), static_cast<std::size_t>(maxDepth) + 1);
    for (int32_t d = 0; d <= maxDepth; ++d) {
        EXPECT_EQ(layers[static_cast<std::size_t>(d)],
                  std::count(expected.begin(), expected.end(), static_cast<uint8_t>(d)));
    }
}

INSTANTIATE_TEST_SUITE_P(ReducedGroups, GroupDbBuild,
                         ::testing::Values(BuildCase{{3, {1, 2, 3}}, 1},
                                           BuildCase{{3, {6, 11, 15}}, 2},
                                           BuildCase{{2, {12, 15}}, 1},
                                           BuildCase{{4, {1, 2, 5, 6}}, 2},
                                           BuildCase{{4, {9, 13, 14, 15}}, 1},
                                           BuildCase{{4, {1, 2, 5, 6}}, 2, 6, 500},
                                           BuildCase{{3, {4, 7, 13}}, 2, 3, 40},
                                           BuildCase{{1, {11}}, 1, 1, 1}));

TEST(GroupDbBuildStop, AStopRequestEndsTheBuildWithoutAResult) {
    std::atomic<bool> stop{false};
    const TileGroup group{4, {1, 2, 5, 6}};
    std::vector<uint8_t> entries(static_cast<std::size_t>(groupEntryCount(4)));
    GroupBuildOptions options;
    options.threads = 2;
    options.stop = &stop;
    options.progress = [&](int32_t depth, int64_t) {
        if (depth == 3) stop.store(true, std::memory_order_relaxed);
    };
    EXPECT_EQ(buildGroupDb(group, entries.data(), options), groupBuildStopped);
}

}  // namespace
}  // namespace fifteen
