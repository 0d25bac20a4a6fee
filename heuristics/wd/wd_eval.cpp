#include "heuristics/wd/wd_eval.h"

namespace fifteen {

namespace {

// cellStep walks the cells of one line, lineStep moves to the next line; goal
// lines are tile / 4 for rows and tile % 4 for columns (tile - 1 numbered from 0).
template <bool columns>
WdPattern linePattern(const Board& board) {
    constexpr size_t cellStep = columns ? 4 : 1;
    constexpr size_t lineStep = columns ? 1 : 4;
    WdPattern v = 0;
    for (size_t line = 0; line < 4; ++line) {
        std::array<WdPattern, 4> counts{};
        for (size_t k = 0; k < 4; ++k) {
            const int32_t t = board[line * lineStep + k * cellStep];
            // The mask only keeps a cell outside 0..15 from indexing past the counters;
            // the pattern of such a board means nothing (usually it is not stored).
            if (t != 0) ++counts[static_cast<size_t>((columns ? t - 1 : (t - 1) >> 2) & 3)];
        }
        for (const WdPattern c : counts) v = (v << 3) | c;
    }
    return v;
}

}  // namespace

WdPattern rowPattern(const Board& board) {
    return linePattern<false>(board);
}
WdPattern columnPattern(const Board& board) {
    return linePattern<true>(board);
}

const WdRecord* findRowRecord(const WdTable& table, const Board& board) {
    return findWdRecord(table, rowPattern(board));
}

const WdRecord* findColumnRecord(const WdTable& table, const Board& board) {
    return findWdRecord(table, columnPattern(board));
}

}  // namespace fifteen
