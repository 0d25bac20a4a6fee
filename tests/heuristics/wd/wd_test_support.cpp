#include "tests/heuristics/wd/wd_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fifteen::wdtest {

const WdTable& builtTable() {
    static const bool built = [] {
        const bool ok = buildWdTable(wdTable);
        EXPECT_TRUE(ok) << "walking-distance build hit its capacity guard";
        return ok;
    }();
    (void)built;
    return wdTable;
}

namespace {

// Fills line l with every split of `lineSum` over the goal lines that still
// fits the remaining column budget, recursing to the next line.
void fillLine(Matrix& m, std::array<int, 4>& left, size_t l, size_t g, int lineLeft, int blank,
              std::vector<Matrix>& out) {
    if (g == 4) {
        if (lineLeft != 0) return;
        if (l == 3) {
            out.push_back(m);
            return;
        }
        const size_t next = l + 1;
        fillLine(m, left, next, 0, next == static_cast<size_t>(blank) ? 3 : 4, blank, out);
        return;
    }
    for (int k = 0; k <= std::min(lineLeft, left[g]); ++k) {
        m[l][g] = k;
        left[g] -= k;
        fillLine(m, left, l, g + 1, lineLeft - k, blank, out);
        left[g] += k;
    }
    m[l][g] = 0;
}

}  // namespace

std::vector<Matrix> allCountMatrices() {
    std::vector<Matrix> out;
    for (int blank = 0; blank < 4; ++blank) {
        Matrix m{};
        std::array<int, 4> left = {4, 4, 4, 3};
        fillLine(m, left, 0, 0, blank == 0 ? 3 : 4, blank, out);
    }
    return out;
}

}  // namespace fifteen::wdtest
