#include "heuristics/additive/group_db_build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

namespace fifteen {
namespace {

// The database by its definition: a 0-1 breadth-first search over (cells of the
// group's tiles, cell of the blank) with no regions and no bit sets, from the
// goal (blank in cell 15). A move of the blank into a free cell costs nothing,
// into a tile of the group one. Each placement's entry is its smallest distance
// over the blank's cells; placements farther than maxDepth are left out.
std::unordered_map<uint32_t, uint8_t> referenceEntries(const TileGroup& group,
                                                       int32_t maxDepth = 255) {
    const int32_t size = group.size;
    std::unordered_map<uint64_t, uint8_t> distance;  // placement * 16 + blank
    std::deque<uint64_t> queue;
    uint8_t cells[maxGroupSize];
    for (int32_t i = 0; i < size; ++i) {
        cells[i] = static_cast<uint8_t>(group.tiles[static_cast<std::size_t>(i)] - 1);
    }
    const uint64_t goal = uint64_t{rankGroupCells(cells, size)} * 16 + 15;
    distance[goal] = 0;
    queue.push_back(goal);
    while (!queue.empty()) {
        const uint64_t s = queue.front();
        queue.pop_front();
        const int32_t d = distance[s];
        const auto blank = static_cast<int32_t>(s % 16);
        const uint32_t occupied = unrankGroupCells(static_cast<uint32_t>(s / 16), size, cells);
        for (int32_t k = 0; k < neighborCount[static_cast<std::size_t>(blank)]; ++k) {
            const int32_t n =
                neighbors[static_cast<std::size_t>(blank)][static_cast<std::size_t>(k)];
            int32_t cost = 0;
            uint64_t placement = s / 16;
            if ((occupied >> n & 1u) != 0) {
                cost = 1;
                uint8_t moved[maxGroupSize];
                std::copy(cells, cells + size, moved);
                *std::find(moved, moved + size, static_cast<uint8_t>(n)) =
                    static_cast<uint8_t>(blank);
                placement = rankGroupCells(moved, size);
            }
            if (d + cost > maxDepth) continue;
            const uint64_t t = placement * 16 + static_cast<uint64_t>(n);
            const auto found = distance.find(t);
            if (found != distance.end() && found->second <= d + cost) continue;
            distance[t] = static_cast<uint8_t>(d + cost);
            if (cost == 0) {
                queue.push_front(t);
            } else {
                queue.push_back(t);
            }
        }
    }
    std::unordered_map<uint32_t, uint8_t> entries;
    for (const auto& [state, d] : distance) {
        const auto placement = static_cast<uint32_t>(state / 16);
        const auto found = entries.find(placement);
        if (found == entries.end() || d < found->second) entries[placement] = d;
    }
    return entries;
}

std::vector<uint8_t> referenceGroupDb(const TileGroup& group) {
    const std::unordered_map<uint32_t, uint8_t> reached = referenceEntries(group);
    std::vector<uint8_t> entries(static_cast<std::size_t>(groupEntryCount(group.size)), 0xFF);
    for (const auto& [placement, d] : reached) entries[placement] = d;
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

INSTANTIATE_TEST_SUITE_P(
    ReducedGroups, GroupDbBuild,
    ::testing::Values(BuildCase{{3, {1, 2, 3}}, 1}, BuildCase{{3, {6, 11, 15}}, 2},
                      BuildCase{{2, {12, 15}}, 1}, BuildCase{{4, {1, 2, 5, 6}}, 2},
                      BuildCase{{4, {9, 13, 14, 15}}, 1}, BuildCase{{4, {1, 2, 5, 6}}, 2, 6, 500},
                      BuildCase{{3, {4, 7, 13}}, 2, 3, 40}, BuildCase{{1, {11}}, 1, 1, 1}));

// The real groups are too large for the oracle and for CI, but their first
// layers are not: a build stopped after them has placed exactly the placements
// the plain search finds that near, each at its distance. This is where the
// byte-sized slots, the full-size buckets and the weights of 7 and 8 digits run.
TEST(GroupDbBuildFirstLayers, TheRealGroupsBeginAsThePlainSearch) {
    constexpr int32_t depth = 6;
    for (const TileGroup& group : {groupOf7, groupOf8}) {
        SCOPED_TRACE(group.size);
        const std::unordered_map<uint32_t, uint8_t> expected = referenceEntries(group, depth);
        // Left uninitialised: only the entries written are read, and the pages
        // never written are never touched.
        const std::unique_ptr<uint8_t[]> entries(
            new uint8_t[static_cast<std::size_t>(groupEntryCount(group.size))]);
        std::atomic<bool> stop{false};
        int64_t reachedAtDepth = 0;
        GroupBuildOptions options;
        options.threads = 2;
        options.stop = &stop;
        options.passSuccessors = 4096;  // a few passes a layer, and a small store
        options.progress = [&](int32_t d, int64_t reached) {
            if (d == depth) {
                reachedAtDepth = reached;
                stop.store(true, std::memory_order_relaxed);
            }
        };
        ASSERT_EQ(buildGroupDb(group, entries.get(), options), groupBuildStopped);
        EXPECT_EQ(reachedAtDepth, static_cast<int64_t>(expected.size()));
        for (const auto& [placement, d] : expected) {
            ASSERT_EQ(entries[placement], d) << "placement " << placement;
        }
    }
}

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
