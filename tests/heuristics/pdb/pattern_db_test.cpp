#include "heuristics/pdb/pattern_db.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstring>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "heuristics/pdb/shared_pdb_build.h"
#include "tests/heuristics/pdb/pdb_test_support.h"
#include "tests/heuristics/pdb/reference_pdb_build.h"

namespace fifteen {
namespace {

using testing::BuiltDatabases;
using testing::builtDatabases;
using testing::referenceIndex;

struct DatabaseFacts {
    const char* name;
    bool isA;
    PatternBoard goal;
    PdbIndex goalIndex;
    int32_t maxDepth;
    int64_t statesAtMaxDepth;
    std::array<int32_t, 6> firstLayers;  // depths 0..5
};

void PrintTo(const DatabaseFacts& facts, std::ostream* out) {
    *out << "database " << facts.name;
}

const DatabaseFacts databaseA{"A", true, goalPatternA, 2'962'479, 56, 3, {1, 2, 4, 10, 22, 40}};
const DatabaseFacts databaseB{"B", false, goalPatternB, 432'207, 58, 4, {1, 2, 3, 6, 13, 30}};

class PatternDbBuild : public ::testing::TestWithParam<DatabaseFacts> {
  protected:
    const PatternDb& db() const { return GetParam().isA ? built().a : built().b; }
    int32_t depth() const { return GetParam().isA ? built().maxDepthA : built().maxDepthB; }
    const PdbLayerSizes& layers() const {
        return GetParam().isA ? built().layersA : built().layersB;
    }
    static const BuiltDatabases& built() { return builtDatabases(); }
};

PdbIndex goalWithBlankAt(PatternBoard pattern, std::size_t cell) {
    pattern[15] = pattern[cell];
    pattern[cell] = classBlank;
    return referenceIndex(pattern);
}

TEST_P(PatternDbBuild, WritesEveryStateAtItsBreadthFirstDistance) {
    const DatabaseFacts& facts = GetParam();
    std::array<int64_t, 256> histogram{};
    for (int32_t i = 0; i < patternStateCount; ++i) ++histogram[db().entries[i]];

    EXPECT_EQ(histogram[0xFF], 0) << "entries left as the block held them";
    EXPECT_EQ(depth(), facts.maxDepth);
    EXPECT_EQ(histogram[static_cast<std::size_t>(facts.maxDepth)], facts.statesAtMaxDepth);
    int64_t total = 0;
    for (std::size_t d = 0; d < layers().size(); ++d) {
        EXPECT_EQ(layers()[d], histogram[d]) << "depth " << d;
        total += layers()[d];
    }
    EXPECT_EQ(total, patternStateCount);
    for (std::size_t d = 0; d < facts.firstLayers.size(); ++d) {
        EXPECT_EQ(layers()[d], facts.firstLayers[d]) << "depth " << d;
    }

    EXPECT_EQ(histogram[0], 1);
    EXPECT_EQ(db().entries[facts.goalIndex], 0);
    EXPECT_EQ(histogram[1], 2);
    EXPECT_EQ(db().entries[goalWithBlankAt(facts.goal, 11)], 1);
    EXPECT_EQ(db().entries[goalWithBlankAt(facts.goal, 14)], 1);

    // Breadth-first distances are the only table with the goal at 0 in which every
    // other state is one more than its nearest neighbour. Checked on a sample.
    PatternBoard pattern;
    int32_t failures = 0;
    for (PdbIndex s = 0; s < patternStateCount && failures < 5; s += 5) {
        const int32_t blank = unrankPattern(s, pattern);
        const auto z = static_cast<std::size_t>(blank);
        int32_t nearest = 255;
        for (int32_t k = 0; k < neighborCount[z]; ++k) {
            const auto nb = static_cast<std::size_t>(neighbors[z][static_cast<std::size_t>(k)]);
            std::swap(pattern[z], pattern[nb]);
            nearest = std::min<int32_t>(nearest, db().entries[referenceIndex(pattern)]);
            std::swap(pattern[z], pattern[nb]);
        }
        const int32_t entry = db().entries[s];
        const int32_t expected = s == GetParam().goalIndex ? 0 : nearest + 1;
        if (entry != expected) {
            ++failures;
            ADD_FAILURE() << "state " << s << " has " << entry << ", expected " << expected;
        }
    }
    EXPECT_EQ(failures, 0);
}

// The steps of the program's build by hand from the goal on one thread (each
// layer expanded, then merged), checked against a breadth-first search over
// patterns held as sets.
TEST_P(PatternDbBuild, FirstLayersMatchAPlainBreadthFirstSearch) {
    fillRankTables();
    std::vector<uint32_t> words(3 * static_cast<std::size_t>(layerWordCount), 0);
    uint32_t* const visited = words.data();
    uint32_t* const layers[2] = {words.data() + layerWordCount, words.data() + 2 * layerWordCount};
    std::vector<uint8_t> entries(static_cast<std::size_t>(patternStateCount), 0xEE);

    const PdbIndex goal = GetParam().goalIndex;
    visited[goal / 32] |= 1u << (goal % 32);
    layers[0][goal / 32] |= 1u << (goal % 32);
    std::set<PatternBoard> seen{GetParam().goal};
    std::set<PatternBoard> frontier{GetParam().goal};

    PatternBoard scratch = GetParam().goal;
    for (int32_t d = 1; d <= 5; ++d) {
        uint32_t* const current = layers[(d - 1) % 2];
        uint32_t* const next = layers[d % 2];
        std::memset(next, 0, static_cast<std::size_t>(layerWordCount) * 4);
        expandLayerWords(scratch, visited, current, next, 0, layerWordCount);
        const int32_t count = mergeLayerWords(
            LayerMerge{visited, current, next, nullptr, 0, entries.data(), d}, 0, layerWordCount);

        std::set<PatternBoard> reached;
        for (PatternBoard p : frontier) {
            const auto z = static_cast<std::size_t>(std::find(p.begin(), p.end(), 0) - p.begin());
            for (int32_t k = 0; k < neighborCount[z]; ++k) {
                const auto nb = static_cast<std::size_t>(neighbors[z][static_cast<std::size_t>(k)]);
                std::swap(p[z], p[nb]);
                if (seen.insert(p).second) reached.insert(p);
                std::swap(p[z], p[nb]);
            }
        }
        EXPECT_EQ(count, GetParam().firstLayers[static_cast<std::size_t>(d)]);
        ASSERT_EQ(static_cast<std::size_t>(count), reached.size()) << "depth " << d;
        std::set<PdbIndex> inLayer;
        for (int32_t w = 0; w < layerWordCount; ++w) {
            for (uint32_t bits = next[w]; bits != 0; bits &= bits - 1) {
                inLayer.insert(32 * w + std::countr_zero(bits));
            }
        }
        std::set<PdbIndex> expected;
        for (const PatternBoard& p : reached) {
            expected.insert(referenceIndex(p));
            EXPECT_EQ(entries[static_cast<std::size_t>(referenceIndex(p))], d);
        }
        EXPECT_EQ(inLayer, expected) << "depth " << d;
        frontier = reached;
    }
    // Nothing but the reached states was written (the goal's entry is the build's).
    int64_t written = 0;
    for (int32_t d = 1; d <= 5; ++d) written += GetParam().firstLayers[static_cast<std::size_t>(d)];
    EXPECT_EQ(std::count(entries.begin(), entries.end(), 0xEE), patternStateCount - written);
}

INSTANTIATE_TEST_SUITE_P(Databases, PatternDbBuild, ::testing::Values(databaseA, databaseB),
                         [](const ::testing::TestParamInfo<DatabaseFacts>& param) {
                             return std::string(param.param.name);
                         });

TEST(PatternDbConcurrency, BuildsOneAfterTheOtherMatchBuildsAtTheSameTime) {
    const BuiltDatabases& together = builtDatabases();
    for (const bool isA : {true, false}) {
        PatternDb db{};
        ASSERT_TRUE(allocatePatternDb(db));
        std::memset(db.entries, 0, static_cast<std::size_t>(patternStateCount));
        PatternBoard scratch = isA ? goalPatternA : goalPatternB;
        const int32_t depth = testing::referencePdbBuild(db, scratch);
        EXPECT_EQ(depth, isA ? together.maxDepthA : together.maxDepthB);
        EXPECT_EQ(std::memcmp(db.entries, isA ? together.a.entries : together.b.entries,
                              static_cast<std::size_t>(patternStateCount)),
                  0)
            << (isA ? "A" : "B");
        releasePatternDb(db);
    }
}

// Each state is expanded once: a layer expanded twice, a state left in a layer
// set, or a state never taken shows in the total.
TEST(PatternDbExpansion, EveryStateIsExpandedExactlyOnce) {
    const BuiltDatabases& built = builtDatabases();
    EXPECT_EQ(built.expandedA, patternStateCount);
    EXPECT_EQ(built.expandedB, patternStateCount);
}

TEST(PatternDbStop, AStopBeforeTheFirstLayerEndsTheBuild) {
    fillRankTables();
    std::vector<uint8_t> block(static_cast<std::size_t>(patternStateCount), 0xAB);
    PatternDb db{block.data(), 0};
    const std::atomic<bool> stop{true};
    int64_t expanded = 0;
    PdbBuildOptions options;
    options.stop = &stop;
    options.expandedStates = &expanded;
    PatternBoard scratch = goalPatternA;
    SharedPdbBuild oneThread;
    EXPECT_EQ(oneThread.build(db, scratch, options, 0), pdbBuildStopped);
    EXPECT_EQ(expanded, 0);
    EXPECT_EQ(std::count(block.begin(), block.end(), 0xAB), patternStateCount - 1) << "the goal";
}

using testing::allocationCalls;
using testing::failAt;
using testing::failingAllocator;

class PatternDbAllocation : public ::testing::Test {
  protected:
    void SetUp() override {
        fillRankTables();
        allocationCalls = 0;
        previous_ = pdbAllocator;
        pdbAllocator = &failingAllocator;
    }
    void TearDown() override { pdbAllocator = previous_; }
    PdbAllocator previous_ = nullptr;
};

TEST_F(PatternDbAllocation, AFailedBitsetStopsTheBuildBeforeItWritesAnything) {
    std::vector<uint8_t> block(static_cast<std::size_t>(patternStateCount), 0xAB);
    PatternDb db{block.data(), 0};
    for (int32_t which = 1; which <= 3; ++which) {
        failAt = which;
        allocationCalls = 0;
        PatternBoard scratch = goalPatternA;
        SharedPdbBuild oneThread;
        EXPECT_EQ(oneThread.build(db, scratch, PdbBuildOptions{}, 0), pdbBuildFailed)
            << "bitset " << which;
        EXPECT_EQ(allocationCalls.load(), 3);
    }
    EXPECT_EQ(std::count(block.begin(), block.end(), 0xAB), patternStateCount);
}

TEST_F(PatternDbAllocation, AMissingTableIsNeverBuilt) {
    failAt = 1;
    PatternDb db{};
    EXPECT_FALSE(allocatePatternDb(db));
    EXPECT_EQ(db.entries, nullptr);
    failAt = 0;
    allocationCalls = 0;
    PatternBoard scratch = goalPatternB;
    SharedPdbBuild oneThread;
    EXPECT_EQ(oneThread.build(db, scratch, PdbBuildOptions{}, 0), pdbBuildFailed);
    EXPECT_EQ(allocationCalls.load(), 0);
}

}  // namespace
}  // namespace fifteen
