#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "heuristics/wd/wd_table.h"

namespace fifteen::wdtest {

// The program's table, built on first use and shared by every test of the process.
const WdTable& builtTable();

// The test's own count matrix and packing, written from the layout drawing so that
// the code under test is checked against an independent reading of it.
using Matrix = std::array<std::array<int, 4>, 4>;

inline Matrix unpack(WdPattern p) {
    Matrix m{};
    for (int l = 0; l < 4; ++l)
        for (int g = 0; g < 4; ++g)
            m[static_cast<size_t>(l)][static_cast<size_t>(g)] =
                static_cast<int>((p >> (3 * (15 - (4 * l + g)))) & 7);
    return m;
}

inline WdPattern pack(const Matrix& m) {
    WdPattern p = 0;
    for (int l = 0; l < 4; ++l)
        for (int g = 0; g < 4; ++g)
            p |= static_cast<WdPattern>(m[static_cast<size_t>(l)][static_cast<size_t>(g)])
                 << (3 * (15 - (4 * l + g)));
    return p;
}

// The line whose tiles sum to 3, or -1 when none does.
inline int blankLineOf(const Matrix& m) {
    for (size_t l = 0; l < 4; ++l)
        if (m[l][0] + m[l][1] + m[l][2] + m[l][3] == 3) return static_cast<int>(l);
    return -1;
}

// Every matrix whose lines sum to 4 except one that sums to 3, and whose goal
// lines 0..2 hold 4 tiles and goal line 3 holds 3.
std::vector<Matrix> allCountMatrices();

}  // namespace fifteen::wdtest
