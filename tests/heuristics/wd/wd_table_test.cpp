#include "heuristics/wd/wd_table.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <unordered_map>
#include <vector>

#include "heuristics/wd/wd_eval.h"
#include "tests/heuristics/wd/wd_test_support.h"

namespace fifteen {
namespace {

using wdtest::Matrix;

const WdRecord& recordAt(const WdTable& table, int32_t i) {
    return table.records[static_cast<size_t>(i)];
}

// The matrix after a tile of goal line g moves from line `from` into line `to`.
Matrix moved(Matrix m, int from, int to, int g) {
    --m[static_cast<size_t>(from)][static_cast<size_t>(g)];
    ++m[static_cast<size_t>(to)][static_cast<size_t>(g)];
    return m;
}

TEST(WdTable, HoldsEveryPatternOfThePuzzle) {
    const WdTable& table = wdtest::builtTable();
    EXPECT_EQ(table.recordCount, 24964);
    EXPECT_EQ(table.recordCount, wdRecordTotal);
}

TEST(WdTable, GoalRecordHasOneLinkToTheBlankMovedUp) {
    const WdTable& table = wdtest::builtTable();
    const WdRecord& goal = recordAt(table, 0);
    EXPECT_EQ(goal.pattern, 0x800100020003ULL);
    EXPECT_EQ(goal.distance, 0);
    for (size_t g = 0; g < 4; ++g) {
        EXPECT_EQ(goal.fromNext[g], wdNoLink) << "fromNext " << g;
        EXPECT_EQ(goal.fromPrev[g], g == 2 ? WdLink{1} : wdNoLink) << "fromPrev " << g;
    }
    EXPECT_EQ(recordAt(table, 1).pattern, 0x80010001800BULL);
    EXPECT_EQ(recordAt(table, 1).distance, 1);
}

TEST(WdTable, DistancesAreBreadthFirstWithPublishedCounts) {
    const WdTable& table = wdtest::builtTable();
    std::map<int32_t, int> perDistance;
    for (int32_t i = 0; i < table.recordCount; ++i) {
        ++perDistance[recordAt(table, i).distance];
        if (i > 0) {
            ASSERT_LE(recordAt(table, i - 1).distance, recordAt(table, i).distance) << i;
        }
    }
    EXPECT_EQ(perDistance[0], 1);
    EXPECT_EQ(perDistance[1], 1);
    EXPECT_EQ(perDistance[2], 2);
    EXPECT_EQ(perDistance[3], 3);
    EXPECT_EQ(perDistance[34], 2);
    EXPECT_EQ(perDistance[35], 2);
    EXPECT_EQ(perDistance.rbegin()->first, 35);
}

TEST(WdTable, LinesInReverseGoalOrderAreFarthest) {
    const WdRecord* r = findWdRecord(wdtest::builtTable(), 0x3020100800ULL);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->distance, 35);
    const Matrix m = wdtest::unpack(0x3020100800ULL);
    EXPECT_EQ(m[0][3], 3);
    EXPECT_EQ(m[3][0], 4);
}

// Each link exists exactly when its move does, and leads to the moved matrix.
TEST(WdTable, LinksFollowTheMovesOfTheMatrix) {
    const WdTable& table = wdtest::builtTable();
    for (int32_t i = 0; i < table.recordCount; ++i) {
        const WdRecord& r = recordAt(table, i);
        const Matrix m = wdtest::unpack(r.pattern);
        const int b = wdtest::blankLineOf(m);
        ASSERT_GE(b, 0) << "record " << i;
        for (int g = 0; g < 4; ++g) {
            const auto gi = static_cast<size_t>(g);
            const struct {
                WdLink link;
                int from;
            } sides[] = {{r.fromNext[gi], b + 1}, {r.fromPrev[gi], b - 1}};
            for (const auto& side : sides) {
                const bool exists =
                    side.from >= 0 && side.from <= 3 && m[static_cast<size_t>(side.from)][gi] > 0;
                ASSERT_EQ(side.link != wdNoLink, exists)
                    << "record " << i << " g " << g << " from line " << side.from;
                if (!exists) continue;
                ASSERT_LT(side.link, table.recordCount);
                EXPECT_EQ(recordAt(table, side.link).pattern,
                          wdtest::pack(moved(m, side.from, b, g)))
                    << "record " << i << " g " << g << " from line " << side.from;
            }
        }
    }
}

TEST(WdTable, EveryLinkIsReversedByTheOppositeLink) {
    const WdTable& table = wdtest::builtTable();
    for (int32_t i = 0; i < table.recordCount; ++i) {
        const WdRecord& r = recordAt(table, i);
        for (size_t g = 0; g < 4; ++g) {
            if (r.fromNext[g] != wdNoLink) {
                EXPECT_EQ(recordAt(table, r.fromNext[g]).fromPrev[g], i) << i << " next " << g;
            }
            if (r.fromPrev[g] != wdNoLink) {
                EXPECT_EQ(recordAt(table, r.fromPrev[g]).fromNext[g], i) << i << " prev " << g;
            }
        }
    }
}

// Every move shifts one tile by one line, so the sum of the tiles' lines changes
// parity and linked distances can never be equal: they differ by exactly 1.
TEST(WdTable, LinkedDistancesDifferByOne) {
    const WdTable& table = wdtest::builtTable();
    for (int32_t i = 0; i < table.recordCount; ++i) {
        const WdRecord& r = recordAt(table, i);
        for (size_t g = 0; g < 4; ++g)
            for (const WdLink link : {r.fromNext[g], r.fromPrev[g]}) {
                if (link == wdNoLink) continue;
                const int32_t step = recordAt(table, link).distance - r.distance;
                EXPECT_TRUE(step == 1 || step == -1) << "record " << i << " link " << link;
            }
    }
}

TEST(WdTable, StoresEveryCountMatrixExactlyOnce) {
    const WdTable& table = wdtest::builtTable();
    std::unordered_map<WdPattern, int> stored;
    for (int32_t i = 0; i < table.recordCount; ++i) ++stored[recordAt(table, i).pattern];
    const std::vector<Matrix> all = wdtest::allCountMatrices();
    EXPECT_EQ(all.size(), 24964u);
    EXPECT_EQ(stored.size(), all.size());
    for (const Matrix& m : all)
        EXPECT_EQ(stored[wdtest::pack(m)], 1) << std::hex << wdtest::pack(m);
}

// A breadth-first search of the test's own over all count matrices, with a hash
// map for duplicates, gives every distance independently of the build; expanding
// fromNext g = 0..3 before fromPrev g = 0..3 also gives the order of the records.
TEST(WdTable, MatchesAnIndependentBreadthFirstSearch) {
    std::unordered_map<WdPattern, int> distance{{wdGoalPattern, 0}};
    std::vector<WdPattern> queue{wdGoalPattern};
    for (size_t head = 0; head < queue.size(); ++head) {
        const Matrix m = wdtest::unpack(queue[head]);
        const int b = wdtest::blankLineOf(m);
        for (const int from : {b + 1, b - 1}) {
            if (from < 0 || from > 3) continue;
            for (int g = 0; g < 4; ++g) {
                if (m[static_cast<size_t>(from)][static_cast<size_t>(g)] == 0) continue;
                const WdPattern p = wdtest::pack(moved(m, from, b, g));
                if (distance.emplace(p, distance[queue[head]] + 1).second) queue.push_back(p);
            }
        }
    }
    const WdTable& table = wdtest::builtTable();
    ASSERT_EQ(queue.size(), static_cast<size_t>(table.recordCount));
    for (int32_t i = 0; i < table.recordCount; ++i) {
        ASSERT_EQ(recordAt(table, i).pattern, queue[static_cast<size_t>(i)]) << "record " << i;
        EXPECT_EQ(recordAt(table, i).distance, distance[queue[static_cast<size_t>(i)]]) << i;
    }
}

// A build stopped early fails cleanly, and what it did store is the same
// breadth-first prefix as the full table: the record order is fixed.
TEST(WdTable, CapacityGuardStopsTheBuild) {
    auto small = std::make_unique<WdTable>();
    EXPECT_FALSE(buildWdTable(*small, 100));
    EXPECT_EQ(small->recordCount, 100);
    const WdTable& full = wdtest::builtTable();
    for (int32_t i = 0; i < small->recordCount; ++i) {
        EXPECT_EQ(recordAt(*small, i).pattern, recordAt(full, i).pattern) << i;
        EXPECT_EQ(recordAt(*small, i).distance, recordAt(full, i).distance) << i;
    }
    EXPECT_TRUE(buildWdTable(*small, wdRecordTotal));
    EXPECT_EQ(small->recordCount, wdRecordTotal);
    EXPECT_FALSE(buildWdTable(*small, wdRecordTotal - 1));
}

// The index against a plain scan: every count matrix is found at the one record
// that holds it, and random 48-bit values that are no count matrix are not.
TEST(WdTableIndex, FindsWhatAScanFinds) {
    const WdTable& table = wdtest::builtTable();
    const auto scan = [&table](WdPattern p) -> const WdRecord* {
        for (int32_t i = 0; i < table.recordCount; ++i)
            if (recordAt(table, i).pattern == p) return &recordAt(table, i);
        return nullptr;
    };
    const std::vector<Matrix> all = wdtest::allCountMatrices();
    ASSERT_EQ(all.size(), static_cast<size_t>(wdRecordTotal));
    for (const Matrix& m : all) {
        const WdPattern p = wdtest::pack(m);
        ASSERT_EQ(findWdRecord(table, p), scan(p)) << std::hex << p;
        ASSERT_NE(findWdRecord(table, p), nullptr) << std::hex << p;
    }
    std::mt19937_64 rng(17);
    for (int i = 0; i < 20000; ++i) {
        const WdPattern p = rng() & ((WdPattern{1} << 48) - 1);
        ASSERT_EQ(findWdRecord(table, p), scan(p)) << std::hex << p;
    }
}

// The packed links say the same as the records: the target's number and distance,
// and 0 exactly where the record has no link.
TEST(WdTablePackedLinks, MirrorTheRecordLinks) {
    const WdTable& table = wdtest::builtTable();
    for (int32_t i = 0; i < table.recordCount; ++i) {
        const WdRecord& r = recordAt(table, i);
        const auto& packed = table.packed[static_cast<size_t>(i)].links;
        for (size_t slot = 0; slot < 8; ++slot) {
            const WdLink link =
                slot < wdPrevSlot ? r.fromNext[slot] : r.fromPrev[slot - wdPrevSlot];
            if (link == wdNoLink) {
                EXPECT_EQ(packed[slot], 0u) << i << " slot " << slot;
                continue;
            }
            EXPECT_EQ(wdPackedRecord(packed[slot]), link) << i << " slot " << slot;
            EXPECT_EQ(wdPackedDistance(packed[slot]), recordAt(table, link).distance)
                << i << " slot " << slot;
        }
    }
}

}  // namespace
}  // namespace fifteen
