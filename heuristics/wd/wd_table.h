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

// The search's form of a link: the target record's distance and, below it, the
// byte offset of that record's links in the packed array, so that one read gives
// both and the next record is one mask away:
//
//   bits 31..24 distance | bits 23..0 record index * sizeof(WdLinkRecord)
//
// A null link packs to 0 and is never followed by a real move.
using WdPackedLink = uint32_t;
inline constexpr int wdPackedDistanceShift = 24;
inline constexpr WdPackedLink wdPackedOffsetMask = (1u << wdPackedDistanceShift) - 1;

// Links 0..3 are fromNext[goal line], 4..7 fromPrev[goal line] of the record of
// the same number; at 32 bytes one is an aligned half cache line.
struct alignas(32) WdLinkRecord {
    std::array<WdPackedLink, 8> links;
};
inline constexpr std::size_t wdPrevSlot = 4;
static_assert(wdTableCapacity * sizeof(WdLinkRecord) <= wdPackedOffsetMask + 1,
              "every record's offset must fit below the distance");

// Open addressing over the packed pattern: a slot holds a record number + 1, 0
// when empty. 2^16 slots keep the 24,964 records at a load of 0.38.
inline constexpr std::size_t wdIndexSlots = std::size_t{1} << 16;
inline std::size_t wdIndexHome(WdPattern p) {
    return static_cast<std::size_t>((p * 0x9E3779B97F4A7C15ULL) >> 48);
}

struct WdTable {
    std::array<WdRecord, wdTableCapacity> records;
    int32_t recordCount;
    // Filled with the records by buildWdTable; records beyond recordCount are
    // ignored by every lookup, so a copy cut short stays consistent.
    std::array<WdLink, wdIndexSlots> index;
    // The records' links packed for the search, filled at the end of a complete
    // build (all zero until then).
    std::array<WdLinkRecord, wdTableCapacity> packed;
};

inline WdPackedLink wdPackedLinkOf(const WdTable& table, std::size_t record) {
    return (static_cast<WdPackedLink>(table.records[record].distance) << wdPackedDistanceShift) |
           static_cast<WdPackedLink>(record * sizeof(WdLinkRecord));
}
inline int32_t wdPackedDistance(WdPackedLink link) {
    return static_cast<int32_t>(link >> wdPackedDistanceShift);
}
inline std::size_t wdPackedRecord(WdPackedLink link) {
    return static_cast<std::size_t>(link & wdPackedOffsetMask) / sizeof(WdLinkRecord);
}
// Follows fromNext[g] (slot g) or fromPrev[g] (slot wdPrevSlot + g) of a packed link.
// The offset is a multiple of the record size, so the division and the scaling
// of the index cancel to the mask alone.
inline WdPackedLink wdFollow(const WdTable& table, WdPackedLink link, std::size_t slot) {
    return table.packed[wdPackedRecord(link)].links[slot];
}
// The program's table: zero at start, filled once by buildWdTable on the
// preparation thread, read-only afterwards.
extern WdTable wdTable;

// Breadth-first over count matrices, the record array being its own queue, with
// the index finding a pattern's record; the packed links are filled at the end.
// Any earlier content of the table is discarded. Returns false only if the capacity would be
// exceeded, which a correct build never reaches.
bool buildWdTable(WdTable& table);

// The same build stopped at `capacity` records (at most wdTableCapacity): false as
// soon as one more record would be needed. Lets the guard itself be exercised.
bool buildWdTable(WdTable& table, int32_t capacity);

}  // namespace fifteen
