#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "heuristics/pdb/pattern_db.h"
#include "heuristics/pdb/pattern_index.h"
#include "puzzle/board.h"

namespace fifteen::testing {

// Both databases by the reference build (reference_pdb_build.h), at the same time
// on two threads, into blocks filled with 0xFF beforehand. Built on first use, once per test
// process; also installed as the program's databases (patternDbA/B, solverState.maxDepthA/B).
struct BuiltDatabases {
    PatternDb a;
    PatternDb b;
    int32_t maxDepthA;
    int32_t maxDepthB;
    PdbLayerSizes layersA;
    PdbLayerSizes layersB;
    int64_t expandedA;  // states each build took from a layer and expanded
    int64_t expandedB;
};
const BuiltDatabases& builtDatabases();

// A pdbAllocator that fails the allocation numbered failAt (1-based) and counts
// every call in allocationCalls.
extern std::atomic<int32_t> allocationCalls;
extern std::atomic<int32_t> failAt;
void* failingAllocator(std::size_t bytes);

// C(n, k) by the multiplicative formula, 0 when k > n.
int64_t choose(int32_t n, int32_t k);

// The index by its definition (positions among the non-blank cells and among the
// cells left by group 1), without the rank tables.
PdbIndex referenceIndex(const PatternBoard& pattern);

// The pattern of a board under a class table.
PatternBoard classify(const Board& board, const std::array<TileClass, 16>& classOfTile);

// "3333311111222220"-style text, one digit per cell.
PatternBoard patternFromText(const char* text);

}  // namespace fifteen::testing
