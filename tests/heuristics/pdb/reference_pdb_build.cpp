#include "tests/heuristics/pdb/reference_pdb_build.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <utility>
#include <vector>

namespace fifteen::testing {

int32_t referencePdbBuild(PatternDb& db, PatternBoard& scratch, PdbLayerSizes* layers,
                          int64_t* expanded) {
    const auto words = static_cast<std::size_t>(layerWordCount);
    std::vector<uint32_t> visited(words, 0);
    std::vector<uint32_t> current(words, 0);
    std::vector<uint32_t> next(words, 0);
    const auto mark = [](std::vector<uint32_t>& set, PdbIndex s) {
        set[static_cast<std::size_t>(s) >> 5] |= 1u << (static_cast<uint32_t>(s) & 31u);
    };
    const auto holds = [](const std::vector<uint32_t>& set, PdbIndex s) {
        return (set[static_cast<std::size_t>(s) >> 5] >> (static_cast<uint32_t>(s) & 31u) & 1u) !=
               0;
    };

    const PdbIndex goal = rankPattern(scratch);
    db.entries[goal] = 0;
    mark(visited, goal);
    mark(current, goal);
    if (layers != nullptr) {
        layers->fill(0);
        (*layers)[0] = 1;
    }
    int32_t depth = 0;
    for (;;) {
        int32_t reached = 0;
        for (std::size_t w = 0; w < words; ++w) {
            for (uint32_t bits = current[w]; bits != 0; bits &= bits - 1) {
                const auto s = static_cast<PdbIndex>(32 * w) + std::countr_zero(bits);
                if (expanded != nullptr) ++*expanded;
                const auto z = static_cast<std::size_t>(unrankPattern(s, scratch));
                for (int32_t k = 0; k < neighborCount[z]; ++k) {
                    const auto nb =
                        static_cast<std::size_t>(neighbors[z][static_cast<std::size_t>(k)]);
                    PdbIndex t = 0;
                    if (nb + 1 == z || nb == z + 1) {
                        t = rankAfterSideMove(s, static_cast<int32_t>(z), static_cast<int32_t>(nb));
                    } else {
                        std::swap(scratch[z], scratch[nb]);
                        t = rankPattern(scratch);
                        std::swap(scratch[z], scratch[nb]);
                    }
                    if (holds(visited, t)) continue;
                    mark(visited, t);
                    mark(next, t);
                    ++reached;
                }
            }
        }
        if (reached == 0) return depth;
        ++depth;
        // In index order once the layer is known: as they are reached the writes
        // would land all over the 12 MB table.
        for (std::size_t w = 0; w < words; ++w) {
            for (uint32_t bits = next[w]; bits != 0; bits &= bits - 1) {
                db.entries[32 * w + static_cast<std::size_t>(std::countr_zero(bits))] =
                    static_cast<uint8_t>(depth);
            }
        }
        if (layers != nullptr && depth < static_cast<int32_t>(layers->size())) {
            (*layers)[static_cast<std::size_t>(depth)] = reached;
        }
        current.swap(next);
        std::fill(next.begin(), next.end(), 0u);
    }
}

}  // namespace fifteen::testing
