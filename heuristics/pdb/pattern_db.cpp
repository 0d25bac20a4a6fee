#include "heuristics/pdb/pattern_db.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace fifteen {

PatternDb patternDbA{};
PatternDb patternDbB{};

namespace {

void* heapAllocate(std::size_t bytes) {
    return std::malloc(bytes);
}

// The index of the state after the tile of cell Nb slides into the blank at Z,
// from the state's own index s: a move along the row keeps both subset ranks; a
// move along the column is ranked afresh on the scratch pattern, which is left
// as it was.
template <std::size_t Z, std::size_t Nb>
uint32_t successorIndex(PatternBoard& scratch, PdbIndex s) {
    if constexpr (Nb + 1 == Z || Nb == Z + 1) {
        return static_cast<uint32_t>(
            rankAfterSideMove(s, static_cast<int32_t>(Z), static_cast<int32_t>(Nb)));
    } else {
        const TileClass moved = scratch[Nb];
        scratch[Z] = moved;
        scratch[Nb] = classBlank;
        const auto t = static_cast<uint32_t>(rankPattern(scratch));
        scratch[Nb] = moved;
        scratch[Z] = classBlank;
        return t;
    }
}

// Reaches the state after the tile of cell Nb slides into the blank at cell Z:
// next takes it unless visited holds it. visited is only read (other threads
// read it too) and nothing is counted: a state reached twice in a layer is set
// twice.
template <std::size_t Z, std::size_t Nb>
void tryMove(PatternBoard& scratch, PdbIndex s, const uint32_t* visited, uint32_t* next) {
    const uint32_t t = successorIndex<Z, Nb>(scratch, s);
    next[t >> 5] |= (1u << (t & 31u)) & ~visited[t >> 5];
}

// The moves of a blank at cell Z in the order of the neighbour table, unrolled:
// with the cells known, the moves are plain stores. A comma fold runs left to
// right.
template <std::size_t Z, std::size_t... K>
void expandMoves(PatternBoard& scratch, PdbIndex s, const uint32_t* visited, uint32_t* next,
                 std::index_sequence<K...>) {
    (tryMove<Z, static_cast<std::size_t>(neighbors[Z][K])>(scratch, s, visited, next), ...);
}

template <std::size_t Z>
void expandFrom(PatternBoard& scratch, PdbIndex s, const uint32_t* visited, uint32_t* next) {
    expandMoves<Z>(scratch, s, visited, next,
                   std::make_index_sequence<static_cast<std::size_t>(neighborCount[Z])>{});
}

using ExpandFrom = void (*)(PatternBoard&, PdbIndex, const uint32_t*, uint32_t*);

template <std::size_t... Z>
constexpr std::array<ExpandFrom, 16> expandTable(std::index_sequence<Z...>) {
    return {&expandFrom<Z>...};
}

// By the blank's cell.
constexpr std::array<ExpandFrom, 16> expandFromCell = expandTable(std::make_index_sequence<16>{});

}  // namespace

PdbAllocator pdbAllocator = &heapAllocate;

bool allocatePatternDb(PatternDb& db) {
    db.entries = static_cast<uint8_t*>(pdbAllocator(static_cast<std::size_t>(patternStateCount)));
    return db.entries != nullptr;
}

void releasePatternDb(PatternDb& db) {
    std::free(db.entries);
    db.entries = nullptr;
}

int64_t expandLayerWords(PatternBoard& scratch, const uint32_t* visited, const uint32_t* current,
                         uint32_t* next, int32_t begin, int32_t end) {
    int64_t taken = 0;
    for (int32_t w = begin; w < end; ++w) {
        uint32_t bits = current[w];
        while (bits != 0) {
            ++taken;
            const PdbIndex s = 32 * w + std::countr_zero(bits);
            bits &= bits - 1;
            const int32_t blank = unrankPattern(s, scratch);
            expandFromCell[static_cast<std::size_t>(blank)](scratch, s, visited, next);
        }
    }
    return taken;
}

int32_t mergeLayerWords(const LayerMerge& merge, int32_t begin, int32_t end) {
    const auto d = static_cast<uint8_t>(merge.depth);
    int32_t count = 0;
    for (int32_t w = begin; w < end; ++w) {
        uint32_t bits = merge.next[w];
        for (int32_t k = 0; k < merge.partCount; ++k) {
            uint32_t* const part = merge.parts[k];
            bits |= part[w];
            part[w] = 0;
        }
        merge.next[w] = bits;
        merge.visited[w] |= bits;
        merge.current[w] = 0;
        count += std::popcount(bits);
        for (; bits != 0; bits &= bits - 1) merge.entries[32 * w + std::countr_zero(bits)] = d;
    }
    return count;
}

}  // namespace fifteen
