#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "heuristics/pdb/pattern_index.h"
#include "puzzle/board.h"

namespace fifteen {

inline constexpr int32_t patternStateCount = 12'108'096;  // 16 * C(15,5) * C(10,5)
static_assert(patternStateCount == rank2Stride * rank2Count);

// One byte per PdbIndex: the number of moves (of any tile) from that pattern state
// to the goal pattern, at most 56 in database A and 58 in B. A null entries
// pointer means "not allocated". maxDepth, the largest distance stored, is set by
// whoever completes a build; the lookup's schedule needs it.
struct PatternDb {
    uint8_t* entries;
    int32_t maxDepth;
};

// The program's two databases (allocated at start-up, freed at exit).
extern PatternDb patternDbA;
extern PatternDb patternDbB;

// One bit per PdbIndex: bit (s mod 32) of word (s div 32).
inline constexpr int32_t layerWordCount = 378'378;
static_assert(layerWordCount * 32 == patternStateCount);

// Every heap block of the databases and of their builds comes from this function,
// so that a test can make any one of them fail. Blocks are freed with std::free.
// Set it only while no build or allocation runs.
using PdbAllocator = void* (*)(std::size_t bytes);
extern PdbAllocator pdbAllocator;  // std::malloc unless a test replaced it

// False, leaving entries null, when the block cannot be had. Its contents are
// whatever the heap held: the build writes every entry.
bool allocatePatternDb(PatternDb& db);
void releasePatternDb(PatternDb& db);

// What a build (SharedPdbBuild, shared_pdb_build.h) returns when it could not
// allocate its bitsets; the table is then left untouched.
inline constexpr int32_t pdbBuildFailed = -1;

// What a build returns when asked to stop before its last layer; the table is
// then incomplete and must not be used.
inline constexpr int32_t pdbBuildStopped = -2;

// Number of states first reached at each depth; index 0 is the goal pattern.
using PdbLayerSizes = std::array<int32_t, 64>;

// What a build reports besides its result and what can end it early. Every
// pointer may be null.
struct PdbBuildOptions {
    PdbLayerSizes* layerSizes = nullptr;  // the count of each depth
    // States taken from a current layer and expanded, over the whole build: a
    // complete build expands each of the patternStateCount states exactly once.
    int64_t* expandedStates = nullptr;
    // Read (relaxed) before each layer; true ends the build with pdbBuildStopped.
    // Relaxed suffices: the flag publishes nothing, a late sight costs one layer.
    const std::atomic<bool>* stop = nullptr;
};

// The pieces of a build that several threads share (shared_pdb_build.h): a layer
// is expanded in ranges of words, each thread into a next-layer set of its own,
// then the sets are merged in ranges of words.

// Expands the states of words [begin, end) of current into next, which takes
// each successor that visited does not hold; visited is only read. Writes no
// entry and counts nothing; returns the number of states expanded.
int64_t expandLayerWords(PatternBoard& scratch, const uint32_t* visited, const uint32_t* current,
                         uint32_t* next, int32_t begin, int32_t end);

// The end of a shared layer: next and parts[0..partCount) hold the layer's new
// states (no state of visited among them).
struct LayerMerge {
    uint32_t* visited;
    uint32_t* current;
    uint32_t* next;
    uint32_t* const* parts;
    int32_t partCount;
    uint8_t* entries;
    int32_t depth;
};

// Over words [begin, end): ORs the parts into next and clears them, adds next to
// visited, clears current and writes entry depth for each state of next. Returns
// the number of states of next in the range.
int32_t mergeLayerWords(const LayerMerge& merge, int32_t begin, int32_t end);

namespace detail {
// What the ranking scan needs of a tile for each database: the column of its term
// (its class) and the advance of the scan state. Eight bytes, so that a tile
// scales into the address.
struct BoardScanTile {
    uint16_t classA;
    uint16_t stepA;
    uint16_t classB;
    uint16_t stepB;
};
constexpr std::array<BoardScanTile, 16> boardScanTiles() {
    std::array<BoardScanTile, 16> tiles{};
    for (std::size_t t = 0; t < 16; ++t) {
        const auto a = static_cast<std::size_t>(classOfTileA[t]);
        const auto b = static_cast<std::size_t>(classOfTileB[t]);
        tiles[t] = {static_cast<uint16_t>(a), static_cast<uint16_t>(scanStep[a]),
                    static_cast<uint16_t>(b), static_cast<uint16_t>(scanStep[b])};
    }
    return tiles;
}
inline constexpr std::array<BoardScanTile, 16> boardScan = boardScanTiles();
}  // namespace detail

// The board's PdbIndex in database A and in B.
struct PdbIndexPair {
    PdbIndex a;
    PdbIndex b;
};

// rankPattern of the board's two patterns in one scan that reads the tiles
// themselves (no pattern is written out) and runs over all sixteen cells, so no
// branch depends on the classes: the cells after the eleventh of class 0, 1 or 2
// are of class 3, whose terms are 0 in every state.
inline PdbIndexPair rankBoardPatterns(const Board& board) {
    std::size_t stateA = 0;
    std::size_t stateB = 0;
    int32_t sumA = 0;
    int32_t sumB = 0;
#pragma GCC unroll 16
    for (std::size_t cell = 0; cell < 16; ++cell) {
        const detail::BoardScanTile& tile = detail::boardScan[static_cast<uint32_t>(board[cell])];
        sumA += rankScanTable.term[stateA + tile.classA];
        sumB += rankScanTable.term[stateB + tile.classB];
        stateA += tile.stepA;
        stateB += tile.stepB;
    }
    return {sumA, sumB};
}

// The larger of the board's entries in a and b, each read as a signed byte;
// maxDepth receives a.maxDepth when a's entry is the larger, b.maxDepth otherwise
// (ties go to b). Reads nothing but its arguments and the rank table.
inline int32_t lookupPatternDbs(const Board& board, const PatternDb& a, const PatternDb& b,
                                int32_t& maxDepth) {
    const PdbIndexPair index = rankBoardPatterns(board);
    const int32_t valueA = static_cast<int8_t>(a.entries[index.a]);
    const int32_t valueB = static_cast<int8_t>(b.entries[index.b]);
    if (valueA > valueB) {
        maxDepth = a.maxDepth;
        return valueA;
    }
    maxDepth = b.maxDepth;
    return valueB;
}

}  // namespace fifteen
