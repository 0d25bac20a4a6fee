#pragma once

// A group of tiles of an additive pattern database and the perfect ranking of
// the cells its tiles stand on. The blank is not part of a group: the database
// counts the moves of the group's own tiles only.

#include <array>
#include <cstddef>
#include <cstdint>

#include "puzzle/board.h"

namespace fifteen {

inline constexpr int32_t maxGroupSize = 8;

// The tiles of a group, in the order their cells are ranked.
struct TileGroup {
    int32_t size;
    std::array<int8_t, maxGroupSize> tiles;
};

// The static split of the stronger tables: the top two rows, and the other seven
// tiles (the ones around the blank's goal cell).
inline constexpr TileGroup groupOf8 = {8, {1, 2, 3, 4, 5, 6, 7, 8}};
inline constexpr TileGroup groupOf7 = {7, {9, 10, 11, 12, 13, 14, 15, 0}};

// Placements of size distinct tiles on 16 cells: 16! / (16 - size)!.
constexpr int64_t groupEntryCount(int32_t size) {
    int64_t count = 1;
    for (int32_t i = 0; i < size; ++i) count *= 16 - i;
    return count;
}
static_assert(groupEntryCount(7) == 57'657'600 && groupEntryCount(8) == 518'918'400);
static_assert(groupEntryCount(7) + groupEntryCount(8) == 576'576'000);

// The rank of the cells of a group, tile i on cells[i], all distinct:
//
//   rank = (...((d0 * 15 + d1) * 14 + d2) ...) * (17 - size) + d(size-1)
//
// where d_i, 0 <= d_i < 16 - i, is cells[i] less the number of earlier tiles on a
// lower cell (cells[i]'s place among the cells the earlier tiles left free). A
// mixed-radix number over the digits, so every placement has one rank in
// 0 .. groupEntryCount(size) - 1 and every rank one placement. The counts are
// comparisons, not a population count, which the baseline instruction set lacks.
template <int32_t Size>
inline uint32_t rankGroupCells(const uint8_t* cells) {
    uint32_t rank = 0;
#pragma GCC unroll 8
    for (int32_t i = 0; i < Size; ++i) {
        uint32_t digit = cells[i];
#pragma GCC unroll 8
        for (int32_t j = 0; j < i; ++j) digit -= uint32_t{cells[j] < cells[i]};
        rank = rank * static_cast<uint32_t>(16 - i) + digit;
    }
    return rank;
}

// The same for any size 1..maxGroupSize.
uint32_t rankGroupCells(const uint8_t* cells, int32_t size);

// Writes cells[0 .. size) of the placement of rank; returns the mask of the cells
// the group stands on (bit c for cell c).
uint32_t unrankGroupCells(uint32_t rank, int32_t size, uint8_t* cells);

// The reflection in the main diagonal: cell 4r + c goes to 4c + r, and tile t,
// whose goal cell is t - 1, to the tile of the reflected goal cell. The goal
// position (blank in cell 15) is its own reflection, so a board and its
// reflection are equally far from it.
inline constexpr std::array<uint8_t, 16> transposedCell = {0, 4, 8,  12, 1, 5, 9,  13,
                                                           2, 6, 10, 14, 3, 7, 11, 15};
inline constexpr std::array<uint8_t, 16> transposedTile = {0,  1, 5, 9,  13, 2, 6, 10,
                                                           14, 3, 7, 11, 15, 4, 8, 12};
static_assert(transposedCell[1] == 4 && transposedCell[14] == 11 && transposedCell[15] == 15);
static_assert(transposedTile[2] == 5 && transposedTile[15] == 12 && transposedTile[10] == 7);

}  // namespace fifteen
