#include "heuristics/pdb/pattern_index.h"

namespace fifteen {

RankTable rankTable{};
RankScanTable rankScanTable{};
RankSubsets rankSubsets{};

namespace {

void fillRankScanTable() {
    for (int32_t o = 0; o < 6; ++o) {
        for (int32_t b = 0; b < 2; ++b) {
            for (int32_t t1 = 0; t1 < 6; ++t1) {
                for (int32_t t2 = 0; t2 < 6; ++t2) {
                    int32_t* term = &rankScanTable.term[4 * (((o * 2 + b) * 6 + t1) * 6 + t2)];
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
// last slots in. Writes the five chosen slots, then the n-5 others.
void unrankSubset(int32_t rank, int32_t n, uint8_t* chosen, uint8_t* others) {
    int32_t col = 5;
    for (int32_t slot = 0; slot < n; ++slot) {
        const int32_t c = rankTable.binomial[n - 1 - slot][col];
        if (rank >= c) {
            *chosen++ = static_cast<uint8_t>(slot);
            rank -= c;
            --col;
        } else if (others != nullptr) {
            *others++ = static_cast<uint8_t>(slot);
        }
    }
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
        uint8_t* slots = rankSubsets.group1[rank].slots;
        unrankSubset(rank, 15, slots, slots + 5);
    }
    for (int32_t rank = 0; rank < rank2Count; ++rank) {
        unrankSubset(rank, 10, rankSubsets.group2[rank].picks, nullptr);
    }
}

int32_t unrankPattern(PdbIndex index, PatternBoard& pattern) {
    const int32_t blank = index % 16;
    const int32_t r = index / 16;
    const uint8_t* slots = rankSubsets.group1[r % rank1Count].slots;
    const uint8_t* picks = rankSubsets.group2[r / rank1Count].picks;
    const auto cellOf = [blank](uint32_t slot) {
        return slot + uint32_t{slot >= static_cast<uint32_t>(blank)};
    };
    pattern.fill(classOther);
    pattern[static_cast<std::size_t>(blank)] = classBlank;
    for (std::size_t t = 0; t < 5; ++t) pattern[cellOf(slots[t])] = classGroup1;
    for (std::size_t t = 0; t < 5; ++t) pattern[cellOf(slots[5 + picks[t]])] = classGroup2;
    return blank;
}

}  // namespace fifteen
