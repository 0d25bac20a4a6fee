#include "heuristics/wd/wd_table.h"

namespace fifteen {

WdTable wdTable;

namespace {

using CountMatrix = std::array<std::array<int32_t, 4>, 4>;

WdPattern packMatrix(const CountMatrix& m) {
    WdPattern p = 0;
    for (const auto& line : m)
        for (const int32_t entry : line) p = (p << 3) | static_cast<WdPattern>(entry);
    return p;
}

void unpackMatrix(WdPattern p, CountMatrix& m) {
    for (size_t i = 16; i-- > 0;) {
        m[i / 4][i % 4] = static_cast<int32_t>(p & 7);
        p >>= 3;
    }
}

size_t blankLine(const CountMatrix& m) {
    for (size_t l = 0; l < 4; ++l)
        if (m[l][0] + m[l][1] + m[l][2] + m[l][3] == 3) return l;
    return 4;  // not a count matrix; the build only unpacks its own patterns
}

// The index slot that holds p's record, or the empty slot where it belongs.
std::size_t probe(const WdTable& table, WdPattern p) {
    std::size_t slot = wdIndexHome(p);
    while (table.index[slot] != 0 &&
           table.records[static_cast<std::size_t>(table.index[slot] - 1)].pattern != p)
        slot = (slot + 1) & (wdIndexSlots - 1);
    return slot;
}

void packLinks(WdTable& table) {
    const auto pack = [&table](WdLink link) {
        return link == wdNoLink ? WdPackedLink{0} : wdPackedLinkOf(table, link);
    };
    for (std::size_t r = 0; r < static_cast<std::size_t>(table.recordCount); ++r) {
        const WdRecord& record = table.records[r];
        for (std::size_t g = 0; g < 4; ++g) {
            table.packed[r].links[g] = pack(record.fromNext[g]);
            table.packed[r].links[wdPrevSlot + g] = pack(record.fromPrev[g]);
        }
    }
}

WdRecord freshRecord(WdPattern p, int32_t distance) {
    WdRecord r{};
    r.pattern = p;
    r.distance = distance;
    r.fromNext.fill(wdNoLink);
    r.fromPrev.fill(wdNoLink);
    return r;
}

// Moves one tile of each goal line out of line `from` into the blank's line and
// records where it leads in links[g]. False when the table is full.
bool expandFrom(WdTable& table, int32_t capacity, CountMatrix& m, size_t blank, size_t from,
                int32_t distance, std::array<WdLink, 4>& links) {
    for (size_t g = 0; g < 4; ++g) {
        if (m[from][g] == 0) continue;
        --m[from][g];
        ++m[blank][g];
        const WdPattern p = packMatrix(m);
        ++m[from][g];
        --m[blank][g];
        const std::size_t slot = probe(table, p);
        int32_t found = table.index[slot] - 1;
        if (table.index[slot] == 0) {
            found = table.recordCount;
            if (found == capacity) return false;
            table.records[static_cast<size_t>(found)] = freshRecord(p, distance + 1);
            ++table.recordCount;
            table.index[slot] = static_cast<WdLink>(found + 1);
        }
        links[g] = static_cast<WdLink>(found);
    }
    return true;
}

}  // namespace

bool buildWdTable(WdTable& table) {
    return buildWdTable(table, wdTableCapacity);
}

bool buildWdTable(WdTable& table, int32_t capacity) {
    if (capacity > wdTableCapacity) capacity = wdTableCapacity;
    if (capacity < 1) return false;
    table.index.fill(0);
    table.packed.fill(WdLinkRecord{});
    table.records[0] = freshRecord(wdGoalPattern, 0);
    table.recordCount = 1;
    table.index[probe(table, wdGoalPattern)] = 1;
    CountMatrix m{};
    // The records themselves are the queue: the cursor chases the append point.
    for (int32_t cursor = 0; cursor < table.recordCount; ++cursor) {
        WdRecord& current = table.records[static_cast<size_t>(cursor)];
        unpackMatrix(current.pattern, m);
        const size_t b = blankLine(m);
        // Appending never moves storage, so `current` stays valid while it grows.
        if (b < 3 && !expandFrom(table, capacity, m, b, b + 1, current.distance, current.fromNext))
            return false;
        if (b > 0 && b < 4 &&
            !expandFrom(table, capacity, m, b, b - 1, current.distance, current.fromPrev))
            return false;
    }
    packLinks(table);
    return true;
}

const WdRecord* findWdRecord(const WdTable& table, WdPattern pattern) {
    const std::size_t slot = probe(table, pattern);
    const int32_t found = table.index[slot] - 1;
    if (found < 0 || found >= table.recordCount) return nullptr;
    return &table.records[static_cast<std::size_t>(found)];
}

}  // namespace fifteen
