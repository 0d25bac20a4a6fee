#include "heuristics/pdb/shared_pdb_build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "tests/heuristics/pdb/pdb_test_support.h"

// The oracle is the reference build of each database (builtDatabases): a build
// shared by several threads must give the same entries, depth and layer sizes.

namespace fifteen {
namespace {

using testing::builtDatabases;

// Small enough that every thread takes many ranges of a layer, in turns that
// change from run to run.
constexpr int32_t smallChunk = 37;

struct SharedCase {
    bool isA;
    int32_t threads;
};

void PrintTo(const SharedCase& c, std::ostream* out) {
    *out << "database " << (c.isA ? "A" : "B") << " on " << c.threads << " threads";
}

class SharedBuild : public ::testing::TestWithParam<SharedCase> {};

// Helpers start before the build, so they wait and join from its first layers.
TEST_P(SharedBuild, GivesTheEntriesAndLayersOfTheOneThreadBuild) {
    const SharedCase c = GetParam();
    const testing::BuiltDatabases& oracle = builtDatabases();
    std::vector<uint8_t> block(static_cast<std::size_t>(patternStateCount), 0xAB);
    PatternDb db{block.data(), 0};
    SharedPdbBuild shared(smallChunk);
    std::vector<std::thread> helpers;
    std::atomic<int32_t> helped{0};
    for (int32_t h = 1; h < c.threads; ++h) {
        helpers.emplace_back([&] { helped += shared.help() ? 1 : 0; });
    }
    PatternBoard scratch = c.isA ? goalPatternA : goalPatternB;
    PdbLayerSizes layers{};
    int64_t expanded = 0;
    PdbBuildOptions options;
    options.layerSizes = &layers;
    options.expandedStates = &expanded;
    const int32_t depth = shared.build(db, scratch, options, c.threads - 1);
    for (std::thread& helper : helpers) helper.join();

    EXPECT_EQ(depth, c.isA ? oracle.maxDepthA : oracle.maxDepthB);
    EXPECT_EQ(layers, c.isA ? oracle.layersA : oracle.layersB);
    EXPECT_EQ(expanded, patternStateCount);
    EXPECT_EQ(std::memcmp(block.data(), c.isA ? oracle.a.entries : oracle.b.entries,
                          static_cast<std::size_t>(patternStateCount)),
              0);
    EXPECT_TRUE(shared.ended());
    EXPECT_EQ(shared.helperCount(), c.threads - 1);
    EXPECT_EQ(helped.load(), c.threads - 1) << "every helper stayed to the end";
}

INSTANTIATE_TEST_SUITE_P(Threads, SharedBuild,
                         ::testing::Values(SharedCase{true, 2}, SharedCase{false, 3},
                                           SharedCase{true, 4}),
                         [](const ::testing::TestParamInfo<SharedCase>& param) {
                             return std::string(param.param.isA ? "A" : "B") + "_" +
                                    std::to_string(param.param.threads);
                         });

TEST(SharedBuildSlots, AHelperBeyondTheSlotsIsTurnedAway) {
    fillRankTables();
    std::vector<uint8_t> block(static_cast<std::size_t>(patternStateCount), 0);
    PatternDb db{block.data(), 0};
    SharedPdbBuild shared;
    std::atomic<int32_t> refused{0};
    std::vector<std::thread> helpers;
    for (int32_t h = 0; h < 3; ++h) {
        helpers.emplace_back([&] { refused += shared.help() ? 0 : 1; });
    }
    PatternBoard scratch = goalPatternB;
    EXPECT_EQ(shared.build(db, scratch, PdbBuildOptions{}, 1), builtDatabases().maxDepthB);
    for (std::thread& helper : helpers) helper.join();
    EXPECT_EQ(shared.helperCount(), 1);
    EXPECT_EQ(refused.load(), 2);
    EXPECT_FALSE(shared.help()) << "after the end";
    EXPECT_EQ(std::memcmp(block.data(), builtDatabases().b.entries,
                          static_cast<std::size_t>(patternStateCount)),
              0);
}

// A stop while all threads are inside the build: each leaves at a layer's end,
// the build reports the stop, and every entry written so far is already right.
TEST(SharedBuildStop, AStopDuringTheBuildEndsEveryThread) {
    const testing::BuiltDatabases& oracle = builtDatabases();
    std::vector<uint8_t> block(static_cast<std::size_t>(patternStateCount), 0xAB);
    PatternDb db{block.data(), 0};
    SharedPdbBuild shared(smallChunk);
    std::atomic<bool> stop{false};
    constexpr int32_t helperCount = 2;
    std::vector<std::thread> helpers;
    for (int32_t h = 0; h < helperCount; ++h) helpers.emplace_back([&] { shared.help(); });
    std::thread stopper([&] {
        while (shared.helperCount() < helperCount && !shared.ended()) std::this_thread::yield();
        stop = true;
    });
    PatternBoard scratch = goalPatternA;
    int64_t expanded = 0;
    PdbBuildOptions options;
    options.stop = &stop;
    options.expandedStates = &expanded;
    EXPECT_EQ(shared.build(db, scratch, options, helperCount), pdbBuildStopped);
    stopper.join();
    for (std::thread& helper : helpers) helper.join();
    EXPECT_LT(expanded, patternStateCount);
    int64_t written = 0;
    int64_t wrong = 0;
    for (int32_t s = 0; s < patternStateCount; ++s) {
        if (block[static_cast<std::size_t>(s)] == 0xAB) continue;
        ++written;
        wrong += block[static_cast<std::size_t>(s)] != oracle.a.entries[s];
    }
    EXPECT_GE(written, 1);
    EXPECT_LT(written, patternStateCount);
    EXPECT_EQ(wrong, 0);
}

using testing::allocationCalls;
using testing::failAt;
using testing::failingAllocator;

// Three layer sets and one per helper slot: whichever fails, the build reports it
// before writing an entry and a waiting helper is let go.
TEST(SharedBuildAllocation, AnyFailedBitsetFailsTheBuild) {
    fillRankTables();
    const PdbAllocator previous = pdbAllocator;
    pdbAllocator = &failingAllocator;
    std::vector<uint8_t> block(static_cast<std::size_t>(patternStateCount), 0xAB);
    PatternDb db{block.data(), 0};
    for (int32_t which = 1; which <= 5; ++which) {
        failAt = which;
        allocationCalls = 0;
        SharedPdbBuild shared;
        std::thread helper([&] { EXPECT_FALSE(shared.help()) << which; });
        PatternBoard scratch = goalPatternA;
        EXPECT_EQ(shared.build(db, scratch, PdbBuildOptions{}, 2), pdbBuildFailed) << which;
        helper.join();
        EXPECT_EQ(allocationCalls.load(), std::max(which, 3)) << "no helper set after a failure";
    }
    pdbAllocator = previous;
    for (uint8_t entry : block) ASSERT_EQ(entry, 0xAB);
    PatternDb missing{};
    SharedPdbBuild shared;
    PatternBoard scratch = goalPatternA;
    EXPECT_EQ(shared.build(missing, scratch, PdbBuildOptions{}, 1), pdbBuildFailed);
}

}  // namespace
}  // namespace fifteen
