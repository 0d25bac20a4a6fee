#pragma once

#include "heuristics/wd/wd_table.h"
#include "puzzle/board.h"

namespace fifteen {

// The record holding the pattern among records 0 .. recordCount - 1, found through
// the table's index; null when it is not stored (an invalid board, or a table not
// yet complete).
const WdRecord* findWdRecord(const WdTable& table, WdPattern pattern);

// Row view: lines are rows, the goal line of tile t is (t - 1) / 4.
// Column view: lines are columns, the goal line of tile t is (t - 1) % 4.
WdPattern rowPattern(const Board& board);
WdPattern columnPattern(const Board& board);
const WdRecord* findRowRecord(const WdTable& table, const Board& board);
const WdRecord* findColumnRecord(const WdTable& table, const Board& board);

// The row and column records of one board as packed links (wd_table.h).
struct WdPair {
    WdPackedLink row;
    WdPackedLink column;
};

// The number of a record found by a lookup; wdNoLink for a null record.
inline WdLink wdLinkOf(const WdTable& table, const WdRecord* record) {
    return record == nullptr ? wdNoLink : static_cast<WdLink>(record - table.records.data());
}

// The packed link of a record found by a lookup.
inline WdPackedLink wdPackedLinkOf(const WdTable& table, const WdRecord& record) {
    return wdPackedLinkOf(table, static_cast<std::size_t>(&record - table.records.data()));
}

// The pair after the tile t in cell n slides into the blank at cell z: a tile from
// below (n = z + 4) follows the row's fromNext, from above fromPrev, from the
// right the column's fromNext, from the left fromPrev. The search makes the same
// step with the direction known at compile time.
template <int Diff>
inline WdPair wdStep(const WdTable& table, WdPair pair, int t) {
    // Unsigned, so that the slot widens for free.
    const auto gr = std::size_t{static_cast<uint32_t>(t - 1) >> 2};
    const auto gc = std::size_t{static_cast<uint32_t>(t - 1) & 3};
    if constexpr (Diff == 4) {
        return {wdFollow(table, pair.row, gr), pair.column};
    } else if constexpr (Diff == -4) {
        // wdPrevSlot + (t - 1) / 4 in two operations.
        static_assert(wdPrevSlot == 4);
        return {wdFollow(table, pair.row, std::size_t{static_cast<uint32_t>(t + 15) >> 2}),
                pair.column};
    } else if constexpr (Diff == 1) {
        return {pair.row, wdFollow(table, pair.column, gc)};
    } else {
        static_assert(Diff == -1, "a move goes to an adjacent cell");
        return {pair.row, wdFollow(table, pair.column, wdPrevSlot + gc)};
    }
}

inline WdPair wdSuccessor(const WdTable& table, WdPair pair, int z, int n, int t) {
    switch (n - z) {
        case 4:
            return wdStep<4>(table, pair, t);
        case -4:
            return wdStep<-4>(table, pair, t);
        case 1:
            return wdStep<1>(table, pair, t);
        default:
            return wdStep<-1>(table, pair, t);
    }
}

// The two offsets add up below bit 24 without a carry, so the top byte of the sum
// is the sum of the distances: no distance need be kept apart from its link.
static_assert(2 * wdTableCapacity * sizeof(WdLinkRecord) <= wdPackedOffsetMask + 1);
inline int32_t wdValue(WdPair pair) {
    return static_cast<int32_t>((pair.row + pair.column) >> wdPackedDistanceShift);
}

}  // namespace fifteen
