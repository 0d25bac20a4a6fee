#include "heuristics/pdb/pattern_db.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace fifteen {

PatternDb patternDbA{};
PatternDb patternDbB{};

namespace {

void* heapAllocate(std::size_t bytes) {
    return std::malloc(bytes);
}

constexpr std::size_t layerBytes = static_cast<std::size_t>(layerWordCount) * sizeof(uint32_t);

void clearLayer(LayerBitset layer) {
    std::memset(layer.words, 0, layerBytes);
}

void setBit(LayerBitset layer, PdbIndex s) {
    layer.words[static_cast<uint32_t>(s) >> 5] |= 1u << (static_cast<uint32_t>(s) & 31u);
}

// chosen when take, else sink, selected arithmetically: the compiler turns a
// conditional store into a branch, which mispredicts here.
template <typename T>
T* pickTarget(bool take, T* chosen, T* sink) {
    const uintptr_t mask = uintptr_t{0} - uintptr_t{take};
    return reinterpret_cast<T*>((reinterpret_cast<uintptr_t>(chosen) & mask) |
                                (reinterpret_cast<uintptr_t>(sink) & ~mask));
}

struct LayerTargets {
    uint32_t* visited;
    uint32_t* next;
};

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

// Reaches the state after the tile of cell Nb slides into the blank at cell Z.
// Returns 1 when it was new. Shared: visited is only read (other threads read it
// too), next takes the successor unless visited holds it, and nothing is counted:
// a state reached twice in a layer is set twice.
template <bool Shared, std::size_t Z, std::size_t Nb>
int32_t tryMove(PatternBoard& scratch, PdbIndex s, const LayerTargets& targets,
                uint32_t& sinkWord) {
    const uint32_t t = successorIndex<Z, Nb>(scratch, s);
    if constexpr (Shared) {
        targets.next[t >> 5] |= (1u << (t & 31u)) & ~targets.visited[t >> 5];
        return 0;
    }
    // Whether t is new is a coin flip in the middle layers, so the update has no
    // branch: an old state's write to next goes to a sink.
    const uint32_t mask = 1u << (t & 31u);
    const uint32_t seen = targets.visited[t >> 5];
    const bool fresh = (seen & mask) == 0;
    targets.visited[t >> 5] = seen | mask;
    *pickTarget(fresh, targets.next + (t >> 5), &sinkWord) |= mask;
    return int32_t{fresh};
}

// The moves of a blank at cell Z in the order of the neighbour table, unrolled:
// with the cells known, the moves are plain stores. A comma fold runs left to
// right. Returns how many successors were new.
template <bool Shared, std::size_t Z, std::size_t... K>
int32_t expandMoves(PatternBoard& scratch, PdbIndex s, const LayerTargets& targets,
                    std::index_sequence<K...>) {
    uint32_t sinkWord = 0;
    int32_t count = 0;
    ((count +=
      tryMove<Shared, Z, static_cast<std::size_t>(neighbors[Z][K])>(scratch, s, targets, sinkWord)),
     ...);
    return count;
}

template <bool Shared, std::size_t Z>
int32_t expandFrom(PatternBoard& scratch, PdbIndex s, const LayerTargets& targets) {
    return expandMoves<Shared, Z>(
        scratch, s, targets,
        std::make_index_sequence<static_cast<std::size_t>(neighborCount[Z])>{});
}

using ExpandFrom = int32_t (*)(PatternBoard&, PdbIndex, const LayerTargets&);

template <bool Shared, std::size_t... Z>
constexpr std::array<ExpandFrom, 16> expandTable(std::index_sequence<Z...>) {
    return {&expandFrom<Shared, Z>...};
}

// By the blank's cell.
constexpr std::array<ExpandFrom, 16> expandFromCell =
    expandTable<false>(std::make_index_sequence<16>{});
constexpr std::array<ExpandFrom, 16> expandSharedFromCell =
    expandTable<true>(std::make_index_sequence<16>{});

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

int32_t expandLayer(PatternBoard& scratch, LayerBitset visited, LayerBitset current,
                    LayerBitset next, PatternDb& db, int32_t depth, int64_t* expanded) {
    const LayerTargets targets{visited.words, next.words};
    int32_t count = 0;
    // One register increment per state beside an unrank and up to four ranks.
    int64_t taken = 0;
    for (int32_t w = 0; w < layerWordCount; ++w) {
        uint32_t bits = current.words[w];
        while (bits != 0) {
            ++taken;
            const PdbIndex s = 32 * w + std::countr_zero(bits);
            bits &= bits - 1;
            const int32_t blank = unrankPattern(s, scratch);
            count += expandFromCell[static_cast<std::size_t>(blank)](scratch, s, targets);
        }
    }
    if (expanded != nullptr) *expanded += taken;
    // The new states' entries are written in index order once the layer is known:
    // written as they are reached they would land all over the 12 MB table, one
    // cache miss each. next held nothing but them.
    const auto d = static_cast<uint8_t>(depth);
    for (int32_t w = 0; w < layerWordCount; ++w) {
        for (uint32_t bits = next.words[w]; bits != 0; bits &= bits - 1)
            db.entries[32 * w + std::countr_zero(bits)] = d;
    }
    return count;
}

int64_t expandLayerWords(PatternBoard& scratch, const uint32_t* visited, const uint32_t* current,
                         uint32_t* next, int32_t begin, int32_t end) {
    // Only read through the shared kernel.
    const LayerTargets targets{const_cast<uint32_t*>(visited), next};
    int64_t taken = 0;
    for (int32_t w = begin; w < end; ++w) {
        uint32_t bits = current[w];
        while (bits != 0) {
            ++taken;
            const PdbIndex s = 32 * w + std::countr_zero(bits);
            bits &= bits - 1;
            const int32_t blank = unrankPattern(s, scratch);
            expandSharedFromCell[static_cast<std::size_t>(blank)](scratch, s, targets);
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

int32_t buildPatternDb(PatternDb& db, PatternBoard& scratch, const PdbBuildOptions& options) {
    PdbLayerSizes* const layerSizes = options.layerSizes;
    const auto stopped = [&options] {
        return options.stop != nullptr && options.stop->load(std::memory_order_relaxed);
    };
    if (db.entries == nullptr) return pdbBuildFailed;
    LayerBitset visited{static_cast<uint32_t*>(pdbAllocator(layerBytes))};
    LayerBitset current{static_cast<uint32_t*>(pdbAllocator(layerBytes))};
    LayerBitset next{static_cast<uint32_t*>(pdbAllocator(layerBytes))};
    const auto release = [&] {
        std::free(visited.words);
        std::free(current.words);
        std::free(next.words);
    };
    if (visited.words == nullptr || current.words == nullptr || next.words == nullptr) {
        release();
        return pdbBuildFailed;
    }
    clearLayer(visited);
    clearLayer(current);
    clearLayer(next);
    if (layerSizes != nullptr) layerSizes->fill(0);

    const PdbIndex goal = rankPattern(scratch);
    db.entries[goal] = 0;
    setBit(visited, goal);
    setBit(current, goal);
    if (layerSizes != nullptr) (*layerSizes)[0] = 1;

    // The two layer sets take turns: the one just consumed is cleared in full and
    // becomes the next layer of the following depth.
    int32_t depth = 1;
    bool halted = stopped();
    int32_t reached =
        halted ? 0
               : expandLayer(scratch, visited, current, next, db, depth, options.expandedStates);
    while (reached > 0) {
        if (layerSizes != nullptr && depth < static_cast<int32_t>(layerSizes->size())) {
            (*layerSizes)[static_cast<std::size_t>(depth)] = reached;
        }
        clearLayer(current);
        std::swap(current, next);
        ++depth;
        halted = stopped();
        if (halted) break;
        reached = expandLayer(scratch, visited, current, next, db, depth, options.expandedStates);
    }
    release();
    return halted ? pdbBuildStopped : depth - 1;
}

}  // namespace fifteen
