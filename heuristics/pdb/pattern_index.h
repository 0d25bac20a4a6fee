#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "puzzle/board.h"

namespace fifteen {

// What a pattern database sees of a tile: the blank, a tile of its group 1 or 2,
// or one of the five interchangeable other tiles.
using TileClass = int32_t;
inline constexpr TileClass classBlank = 0;
inline constexpr TileClass classGroup1 = 1;
inline constexpr TileClass classGroup2 = 2;
inline constexpr TileClass classOther = 3;

// One TileClass per cell, cells numbered as in a Board. A valid pattern holds
// one 0, five 1s, five 2s and five 3s.
using PatternBoard = std::array<TileClass, 16>;

// Class of each tile 0..15 (0 is the blank).
//   A: group 1 = 2, 3, 4, 8, 12; group 2 = 5, 9, 13, 14, 15; others 1, 6, 7, 10, 11.
//   B: group 1 = 1, 2, 3, 5, 9;  group 2 = 8, 11, 12, 14, 15; others 4, 6, 7, 10, 13.
inline constexpr std::array<TileClass, 16> classOfTileA = {0, 3, 1, 1, 1, 2, 3, 3,
                                                           1, 2, 3, 3, 1, 2, 2, 2};
inline constexpr std::array<TileClass, 16> classOfTileB = {0, 1, 1, 1, 3, 1, 3, 3,
                                                           2, 1, 3, 2, 2, 3, 2, 2};

// The class of the tile in each cell of the goal position, kept as a table of its own.
inline constexpr PatternBoard goalPatternA = {3, 1, 1, 1, 2, 3, 3, 1, 2, 3, 3, 1, 2, 2, 2, 0};
inline constexpr PatternBoard goalPatternB = {1, 1, 1, 3, 1, 3, 3, 2, 1, 3, 2, 2, 3, 2, 2, 0};

namespace detail {
constexpr bool isGoalPatternOf(const std::array<TileClass, 16>& classOfTile,
                               const PatternBoard& goal) {
    for (std::size_t cell = 0; cell < 16; ++cell) {
        if (goal[cell] != classOfTile[static_cast<std::size_t>(goalBoard[cell])]) return false;
    }
    return true;
}
constexpr bool hasFiveOfEachGroup(const std::array<TileClass, 16>& classOfTile) {
    int32_t counts[4] = {};
    for (TileClass c : classOfTile) ++counts[c];
    return counts[0] == 1 && counts[1] == 5 && counts[2] == 5 && counts[3] == 5;
}
}  // namespace detail

static_assert(classOfTileA[4] == classGroup1 && classOfTileA[13] == classGroup2 &&
              classOfTileA[10] == classOther);
static_assert(classOfTileB[9] == classGroup1 && classOfTileB[11] == classGroup2 &&
              classOfTileB[13] == classOther);
static_assert(detail::hasFiveOfEachGroup(classOfTileA) && detail::hasFiveOfEachGroup(classOfTileB));
static_assert(detail::isGoalPatternOf(classOfTileA, goalPatternA));
static_assert(detail::isGoalPatternOf(classOfTileB, goalPatternB));

// Dense index of a pattern state, 0..12,108,095:
//
//   index = blank + 16 * rank1 + 48,048 * rank2
//
//   blank  cell of the blank, 0..15
//   rank1  0..3002: the group-1 cells as a 5-subset of the 15 non-blank cells
//   rank2  0..251:  the group-2 cells as a 5-subset of the 10 cells holding
//          neither the blank nor group 1
//
// Both ranks are combinatorial-number-system ranks in increasing cell order: the
// t-th group-1 cell (t = 0..4) at position p among the non-blank cells adds
// C(14 - p, 5 - t); the t-th group-2 cell at position q among the remaining ten
// adds C(9 - q, 5 - t). 48,048 = 16 * C(15,5); 48,048 * C(10,5) is the state count.
using PdbIndex = int32_t;

inline constexpr int32_t rank1Count = 3003;  // C(15,5)
inline constexpr int32_t rank2Count = 252;   // C(10,5)
inline constexpr int32_t rank2Stride = 16 * rank1Count;

// Rows n = 0..15, columns k = 0..5. The weights carry the factors of the index so
// that ranking only adds; column 0 of the weights is 0 and never read.
struct RankTable {
    int32_t binomial[16][6];
    int32_t weight1[16][6];  // 16 * C(n, k)
    int32_t weight2[16][6];  // 48,048 * C(n, k)
};

// The program's rank table: zero at start, filled once by fillRankTables before
// any thread ranks or unranks, read-only afterwards.
extern RankTable rankTable;

// The weights rearranged by the state of the ranking scan, so that each cell
// costs one read and one addition whatever its class. The state is the count of
// other cells o, blanks b, group-1 cells t1 and group-2 cells t2 seen so far:
//
//   term[4 * (((o * 2 + b) * 6 + t1) * 6 + t2) + class]
//     class 0: t1 + t2 + o               (the cell itself; b is 0)
//     class 1: weight1[row1][col1]       row1 = 14 - t1 - t2 - o, col1 = 5 - t1
//     class 2: weight2[row2][col2]       row2 = 9 - t2 - o,       col2 = 5 - t2
//     class 3: 0
//
// Entries of states no valid pattern reaches are 0. Filled by fillRankTables.
struct RankScanTable {
    int32_t term[6 * 2 * 6 * 6 * 4];
};
extern RankScanTable rankScanTable;

// The unranking walk of each rank done once, as slot numbers (slot j is the j-th
// non-blank cell). For rank1: slots[0..4] hold the group-1 slots and slots[5..14]
// the ten slots left, both increasing. For rank2: picks[t] is the place, 0..9,
// of the t-th group-2 slot among those ten. Filled by fillRankTables from
// rankTable.binomial.
struct RankSubsets {
    struct Rank1Slots {
        uint8_t slots[16];
    };
    struct Rank2Picks {
        uint8_t picks[5];
    };
    Rank1Slots group1[rank1Count];
    Rank2Picks group2[rank2Count];
};
extern RankSubsets rankSubsets;

// Fills rankTable, then rankScanTable and rankSubsets from it.
void fillRankTables();

namespace detail {
// Advance of the scan state by class: 4 x (36, 6, 1, 72) in the digits above.
inline constexpr std::array<std::size_t, 4> scanStep = {144, 24, 4, 288};
inline constexpr std::size_t othersStep = 288;
}  // namespace detail

// Returns the PdbIndex of a valid pattern. The scan stops at the eleventh cell of
// class 0, 1 or 2, so the cells after the last of them are never read.
inline PdbIndex rankPattern(const PatternBoard& pattern) {
    std::size_t state = 0;
    int32_t sum = 0;
    // The eleventh special cell is never before cell 10; no branch on the classes,
    // which are coin flips to a predictor.
#pragma GCC unroll 11
    for (std::size_t cell = 0; cell <= 10; ++cell) {
        const auto c = static_cast<std::size_t>(pattern[cell]);
        sum += rankScanTable.term[state + c];
        state += detail::scanStep[c];
    }
    // Of cells 0..10, o were other tiles: o special cells are still to come.
    auto remaining = static_cast<int32_t>(state / detail::othersStep);
    for (std::size_t cell = 11; remaining > 0; ++cell) {
        const auto c = static_cast<std::size_t>(pattern[cell]);
        sum += rankScanTable.term[state + c];
        state += detail::scanStep[c];
        remaining -= int32_t{c != classOther};
    }
    return sum;
}

// The index after the tile beside the blank (cell blank + 1 or blank - 1, given
// as cell) slides into it. The non-blank cells keep their order of classes, so
// both subset ranks stay and only the blank's term changes.
inline PdbIndex rankAfterSideMove(PdbIndex index, int32_t blank, int32_t cell) {
    return index + cell - blank;
}

// Writes the pattern state of index (0..12,108,095) into all 16 cells; returns the
// blank's cell.
int32_t unrankPattern(PdbIndex index, PatternBoard& pattern);

}  // namespace fifteen
