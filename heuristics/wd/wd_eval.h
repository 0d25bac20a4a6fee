#pragma once

#include "heuristics/wd/wd_table.h"
#include "puzzle/board.h"

namespace fifteen {

// The first record holding the pattern, scanning records 0 .. recordCount - 1;
// null when it is not stored (an invalid board, or a table not yet complete).
const WdRecord* findWdRecord(const WdTable& table, WdPattern pattern);

// Row view: lines are rows, the goal line of tile t is (t - 1) / 4.
// Column view: lines are columns, the goal line of tile t is (t - 1) % 4.
WdPattern rowPattern(const Board& board);
WdPattern columnPattern(const Board& board);
const WdRecord* findRowRecord(const WdTable& table, const Board& board);
const WdRecord* findColumnRecord(const WdTable& table, const Board& board);

// The row and column records of one board, as indices into the table.
struct WdPair {
    WdLink row;
    WdLink column;
};

// The pair after the tile t in cell n slides into the blank at cell z. The case is
// chosen on z - n: 4 tile from above, -4 from below, 1 from the left, -1 from the
// right. The links followed are never wdNoLink for a real move.
inline WdPair wdSuccessor(const WdTable& table, WdPair pair, int z, int n, int t) {
    const int diff = z - n;
    const WdRecord& row = table.records[pair.row];
    const WdRecord& column = table.records[pair.column];
    const auto gr = static_cast<size_t>((t - 1) >> 2);
    const auto gc = static_cast<size_t>((t - 1) & 3);
    if (diff == 4) return {row.fromPrev[gr], pair.column};
    if (diff == -4) return {row.fromNext[gr], pair.column};
    if (diff > 0) return {pair.row, column.fromPrev[gc]};
    return {pair.row, column.fromNext[gc]};
}

// The link naming a record found by a lookup; wdNoLink for a null record.
inline WdLink wdLinkOf(const WdTable& table, const WdRecord* record) {
    return record == nullptr ? wdNoLink : static_cast<WdLink>(record - table.records.data());
}

inline int32_t wdValue(const WdTable& table, WdPair pair) {
    return table.records[pair.row].distance + table.records[pair.column].distance;
}

}  // namespace fifteen
