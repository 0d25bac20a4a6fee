#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace fifteen {

// A 4x4 count matrix of the walking-distance relaxation at 3 bits per entry:
// entry [l][g] = tiles in line l whose goal line is g. Entry [l][g] sits at bits
// 3 * (15 - (4l + g)) .. +2, so [0][0] is bits 45..47 and [3][3] bits 0..2;
// bits 48..63 are zero.
//
//   47    45 44  42      5   3 2   0
//   [ [0][0] | [0][1] | ... | [3][2] | [3][3] ]
//
// The goal matrix (4, 4, 4, 3 on the diagonal) packs to 0x800100020003.
using WdPattern = uint64_t;

inline constexpr WdPattern wdGoalPattern = 0x800100020003ULL;

// Links are indices into the table; 16 bits keep a record at 32 bytes, so the
// links and distances the search follows stay in cache (24,964 records).
using WdLink = uint16_t;
inline constexpr WdLink wdNoLink = 0xFFFF;

struct WdRecord {
    WdPattern pattern;
    int32_t distance;
    // fromNext[g]: a tile of goal line g moves from line b + 1 into the blank's line b.
    // fromPrev[g]: the same from line b - 1. wdNoLink exactly when that move is impossible.
    std::array<WdLink, 4> fromNext;
    std::array<WdLink, 4> fromPrev;
};

inline constexpr int32_t wdTableCapacity = 25000;
inline constexpr int32_t wdRecordTotal = 24964;  // a fixed property of the puzzle
static_assert(wdTableCapacity < wdNoLink, "every record must be addressable by a link");

struct WdTable {
    std::array<WdRecord, wdTableCapacity> records;
    int32_t recordCount;
};

// The program's table: zero at start, filled once by buildWdTable on the
// preparation thread, read-only afterwards.
extern WdTable wdTable;

// Breadth-first over count matrices, the record array being its own queue. The
// table must be empty (recordCount 0). Returns false only if the capacity would be
// exceeded, which a correct build never reaches.
bool buildWdTable(WdTable& table);

// The same build stopped at `capacity` records (at most wdTableCapacity): false as
// soon as one more record would be needed. Lets the guard itself be exercised.
bool buildWdTable(WdTable& table, int32_t capacity);

}  // namespace fifteen
