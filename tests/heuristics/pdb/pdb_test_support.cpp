#include "tests/heuristics/pdb/pdb_test_support.h"

#include <cstdlib>
#include <cstring>
#include <thread>

#include "search/solver_state.h"
#include "tests/heuristics/pdb/reference_pdb_build.h"

namespace fifteen::testing {

namespace {

struct OwnedDatabases : BuiltDatabases {
    OwnedDatabases() : BuiltDatabases{} {
        fillRankTables();
        if (!allocatePatternDb(a) || !allocatePatternDb(b)) std::abort();
        std::memset(a.entries, 0xFF, static_cast<std::size_t>(patternStateCount));
        std::memset(b.entries, 0xFF, static_cast<std::size_t>(patternStateCount));
        std::thread buildA([this] {
            PatternBoard scratch = goalPatternA;
            maxDepthA = referencePdbBuild(a, scratch, &layersA, &expandedA);
        });
        std::thread buildB([this] {
            PatternBoard scratch = goalPatternB;
            maxDepthB = referencePdbBuild(b, scratch, &layersB, &expandedB);
        });
        buildA.join();
        buildB.join();
        a.maxDepth = maxDepthA;
        b.maxDepth = maxDepthB;
        patternDbA = a;
        patternDbB = b;
        solverState.maxDepthA = maxDepthA;
        solverState.maxDepthB = maxDepthB;
    }
    ~OwnedDatabases() {
        patternDbA = PatternDb{};
        patternDbB = PatternDb{};
        releasePatternDb(a);
        releasePatternDb(b);
    }
};

}  // namespace

const BuiltDatabases& builtDatabases() {
    static const OwnedDatabases databases;
    return databases;
}

std::atomic<int32_t> allocationCalls{0};
std::atomic<int32_t> failAt{0};

void* failingAllocator(std::size_t bytes) {
    const int32_t call = ++allocationCalls;
    return call == failAt.load() ? nullptr : std::malloc(bytes);
}

int64_t choose(int32_t n, int32_t k) {
    if (k < 0 || k > n) return 0;
    int64_t c = 1;
    for (int32_t i = 1; i <= k; ++i) c = c * (n - k + i) / i;
    return c;
}

PdbIndex referenceIndex(const PatternBoard& pattern) {
    int32_t blank = -1;
    int64_t rank1 = 0;
    int64_t rank2 = 0;
    int32_t position1 = 0;  // among the non-blank cells
    int32_t position2 = 0;  // among the cells holding neither the blank nor group 1
    int32_t seen1 = 0;
    int32_t seen2 = 0;
    for (int32_t cell = 0; cell < 16; ++cell) {
        const TileClass c = pattern[static_cast<std::size_t>(cell)];
        if (c == classBlank) {
            blank = cell;
            continue;
        }
        if (c == classGroup1) {
            rank1 += choose(14 - position1, 5 - seen1++);
        } else {
            if (c == classGroup2) rank2 += choose(9 - position2, 5 - seen2++);
            ++position2;
        }
        ++position1;
    }
    return static_cast<PdbIndex>(blank + 16 * rank1 + 48'048 * rank2);
}

PatternBoard classify(const Board& board, const std::array<TileClass, 16>& classOfTile) {
    PatternBoard pattern{};
    for (std::size_t cell = 0; cell < 16; ++cell) {
        pattern[cell] = classOfTile[static_cast<std::size_t>(board[cell])];
    }
    return pattern;
}

PatternBoard patternFromText(const char* text) {
    PatternBoard pattern{};
    for (std::size_t cell = 0; cell < 16; ++cell) pattern[cell] = text[cell] - '0';
    return pattern;
}

}  // namespace fifteen::testing
