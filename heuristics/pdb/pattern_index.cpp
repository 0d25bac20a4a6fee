#include "heuristics/pdb/pattern_index.h"

namespace fifteen {

RankTable rankTable{};
RankScanTable rankScanTable{};
RankSubsets rankSubsets{};

namespace {

void fillRankScanTable() {
    for (int32_t b = 0; b < 2; ++b) {
        for (int32_t t1 = 0; t1 < 6; ++t1) {
            for (int32_t t2 = 0; t2 < 6; ++t2) {
                for (int32_t o = 0; o < 6; ++o) {
                    int32_t* term = &rankScanTable.term[4 * (((b * 6 + t1) * 6 + t2) * 6 + o)];
                    const int32_t row1 = 14 - t1 - t2 - o;
                    const int32_t row2 = 9 - t2 - o;
                    term[classBlank] = b == 0 ? t1 + t2 + o : 0;
                    term[classGroup1] = t1 < 5 && row1 >= 0 ? rankTable.weight1[row1][5 - t1] : 0;
                    term[classGroup2] = t2 < 5 && row2 >= 0 ? rankTable.weight2[row2][5 - t2] : 0;
                    term[classOther] = 0;
                }
            }
        }
    }
}

// The greedy walk of the combinatorial number system over n slots: the slot at
// row n-1-j joins the subset when the remaining rank reaches C(row, col). Column
// 0 holding 1 stops the selection once col is 0; a 0 where row < col forces the
// last slots in.
uint16_t unrankSubset(int32_t rank, int32_t n) {
    uint32_t mask = 0;
    int32_t col = 5;
    for (int32_t slot = 0; slot < n; ++slot) {
        const int32_t c = rankTable.binomial[n - 1 - slot][col];
        if (rank >= c) {
            mask |= 1u << slot;
            rank -= c;
            --col;
        }
    }
    return static_cast<uint16_t>(mask);
}

}  // namespace

void fillRankTables() {
    rankTable.binomial[0][0] = 1;
    for (int32_t i = 1; i < 16; ++i) {
        rankTable.binomial[i][0] = 1;
        for (int32_t k = 1; k <= 5; ++k) {
            const int32_t value = rankTable.binomial[i - 1][k - 1] + rankTable.binomial[i - 1][k];
            rankTable.binomial[i][k] = value;
            rankTable.weight1[i][k] = 16 * value;
            rankTable.weight2[i][k] = rank2Stride * value;
        }
    }
    fillRankScanTable();
    for (int32_t rank = 0; rank < rank1Count; ++rank) {
        rankSubsets.group1[rank] = unrankSubset(rank, 15);
    }
    for (int32_t rank = 0; rank < rank2Count; ++rank) {
        rankSubsets.group2[rank] = unrankSubset(rank, 10);
    }
}

int32_t unrankPattern(PdbIndex index, PatternBoard& pattern) {
    const int32_t blank = index % 16;
    const int32_t r = index / 16;
    uint32_t group1 = rankSubsets.group1[r % rank1Count];
    uint32_t group2 = rankSubsets.group2[r / rank1Count];
    pattern[static_cast<std::size_t>(blank)] = classBlank;
    // Slot j is the j-th non-blank cell; the bits of group2 are consumed by the
    // slots that group 1 leaves. Masks, not branches: the bits are coin flips.
#pragma GCC unroll 15
    for (uint32_t slot = 0; slot < 15; ++slot) {
        const uint32_t in1 = group1 & 1u;
        const uint32_t in2 = group2 & 1u & ~in1;
        group1 >>= 1;
        group2 >>= 1u - in1;
        const uint32_t cell = slot + uint32_t{slot >= static_cast<uint32_t>(blank)};
        pattern[cell] = classOther - static_cast<TileClass>(2 * in1 + in2);
    }
    return blank;
}

}  // namespace fifteen
