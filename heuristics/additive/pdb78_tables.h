#pragma once

// The stronger table set: the walking distance and two additive databases over
// the 7+8 split, each read for the board and for its reflection in the main
// diagonal.
//
// Why the bound is admissible: a database entry counts only moves of its own
// group's tiles, in a relaxed puzzle where the other tiles and the blank may go
// anywhere for free, so it is at most the number of moves of that group's tiles
// in any solution. Every move moves exactly one tile, of one group, so the two
// entries add up to at most the length of any solution. The reflection maps
// solutions to solutions of the same length (the goal is its own reflection),
// so the sum over the reflected board is a bound too, and so is the larger of
// the two, and of it and the walking distance. Each term changes by at most one
// per move, so the bound is consistent, as IDA* wants it.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "heuristics/additive/tile_group.h"
#include "heuristics/wd/wd_table.h"
#include "puzzle/board.h"

namespace fifteen {

struct Pdb78Tables {
    static constexpr const char* name = "WD + PDB 7+8";
    // Look every node up: a lookup costs a few ranks and two reads, and a node
    // left to the walking distance alone is a node the stronger bound would
    // often have cut.
    static constexpr bool looksUpEveryNode = true;
    // The largest entry sum, as the schedule's maxDepth (the schedule is not used).
    static constexpr int32_t maxBound = 80;
    // Shared deepening's layer: Korf's 100 take some 19,000 nodes each with this
    // bound, so 8000 items (the default set's) would cost more in their own
    // lookups and hand-outs than they balance; 256 was the fastest of 16..8000
    // on two threads (Korf's 100 and an 80-move position alike).
    static constexpr int32_t sharedLayerTarget = 256;

    const uint8_t* group7 = nullptr;  // groupEntryCount(7) entries for groupOf7
    const uint8_t* group8 = nullptr;  // groupEntryCount(8) entries for groupOf8

    static const WdTable& wd() { return wdTable; }

    int32_t lookup(const Board& board, int32_t& maxDepth) const {
        uint8_t cellOf[16];
        for (std::size_t c = 0; c < 16; ++c) {
            cellOf[static_cast<std::size_t>(board[c])] = static_cast<uint8_t>(c);
        }
        // Tile t of the reflected board stands on the reflection of the cell of
        // the tile whose reflection t is.
        uint8_t cells8[8], mirror8[8], cells7[7], mirror7[7];
        for (std::size_t i = 0; i < 8; ++i) {
            const auto t = static_cast<std::size_t>(groupOf8.tiles[i]);
            cells8[i] = cellOf[t];
            mirror8[i] = transposedCell[cellOf[transposedTile[t]]];
        }
        for (std::size_t i = 0; i < 7; ++i) {
            const auto t = static_cast<std::size_t>(groupOf7.tiles[i]);
            cells7[i] = cellOf[t];
            mirror7[i] = transposedCell[cellOf[transposedTile[t]]];
        }
        const int32_t direct =
            group8[rankGroupCells<8>(cells8)] + group7[rankGroupCells<7>(cells7)];
        const int32_t mirrored =
            group8[rankGroupCells<8>(mirror8)] + group7[rankGroupCells<7>(mirror7)];
        maxDepth = maxBound;
        return std::max(direct, mirrored);
    }

    // Every node is looked up (looksUpEveryNode); any depth short of
    // neverCheckDepth keeps the search on the looked-up path.
    static int32_t firstCheckDepth(int32_t, int32_t, int32_t, int32_t) { return 1; }
    static int32_t nextCheckDepth(int32_t depth, int32_t, int32_t, int32_t, int32_t) {
        return depth + 1;
    }
};

}  // namespace fifteen
